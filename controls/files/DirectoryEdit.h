#pragma once

#include "controls/util/CustomComboEdit.h"

#include <QFlags>
#include <QString>

#include <functional>

// An edit for file-system names. With AcceptFiles names dragged from the file manager are taken
// through ReceptFileDir (only the first unless MultipleDirs; dragged URLs that are not local
// files are no names), after which DropFiles() is signalled. OnBeforeDialog and OnAfterDialog
// see (and may change) the name and whether the dialog goes ahead / its result is taken.
class TFileDirEdit : public TCustomComboEdit {
    Q_OBJECT
public:
    using TDialogEvent = std::function<void(QString& name, bool& action)>;

    explicit TFileDirEdit(QWidget* parent = nullptr);

    bool AcceptFiles() const { return AcceptFilesFlag; }
    void SetAcceptFiles(bool acceptFiles) { AcceptFilesFlag = acceptFiles; }
    bool MultipleDirs() const { return MultipleDirsFlag; }
    void SetMultipleDirs(bool multipleDirs) { MultipleDirsFlag = multipleDirs; }

    TDialogEvent OnBeforeDialog;
    TDialogEvent OnAfterDialog;

    // The text with every name in its long and short form.
    virtual QString GetLongName() const = 0;
    virtual QString GetShortName() const = 0;
    // Takes one received name into the text.
    virtual void ReceptFileDir(const QString& name) = 0;

signals:
    void DropFiles();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool AcceptFilesFlag = false;
    bool MultipleDirsFlag = false;
};

// An edit for one folder (or, with MultipleDirs, a ";" list of folders) whose button browses for
// a folder. Text() and SetText() keep every folder without a trailing separator (the root keeps
// its own), whether it was typed, dropped or browsed, so callers always join names the same way.
// A dropped file shows as its folder and a dropped folder as itself, each with a trailing
// separator, as they were received.
class TDirectoryEdit : public TFileDirEdit {
    Q_OBJECT
public:
    enum class TDialogKind { dkVCL, dkWin32 };
    enum class TSelectDirOpt { sdAllowCreate = 1, sdPerformCreate = 2, sdPrompt = 4 };
    Q_DECLARE_FLAGS(TSelectDirOpts, TSelectDirOpt)
    // Shows a folder browser starting at Folder; true with Folder set to the choice on OK.
    using TBrowseFunction = std::function<bool(QString& folder, const QString& text, int helpContext)>;

    explicit TDirectoryEdit(QWidget* parent = nullptr);

    QString Text() const;
    void SetText(const QString& text);

    // Both kinds browse with the same folder browser; the options are kept for the callers.
    TDialogKind DialogKind() const { return Kind; }
    void SetDialogKind(TDialogKind kind) { Kind = kind; }
    TSelectDirOpts DialogOptions() const { return Options; }
    void SetDialogOptions(TSelectDirOpts options) { Options = options; }
    QString DialogText() const { return Title; }
    void SetDialogText(const QString& text) { Title = text; }
    QString InitialDir() const { return Initial; }
    void SetInitialDir(const QString& folder) { Initial = folder; }
    int HelpContext() const { return Context; }
    void SetHelpContext(int context) { Context = context; }

    // Replaces the folder browser (tests answer without a dialog).
    void SetBrowseFunction(TBrowseFunction browse);

    QString GetLongName() const override;
    QString GetShortName() const override;
    void ReceptFileDir(const QString& name) override;

protected:
    void ButtonClick() override;

private:
    TDialogKind Kind = TDialogKind::dkVCL;
    TSelectDirOpts Options;
    QString Title;
    QString Initial;
    int Context = 0;
    TBrowseFunction Browse;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TDirectoryEdit::TSelectDirOpts)
