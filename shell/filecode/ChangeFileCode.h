#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class TDesktopFiles;
class TFileCodeEdit;

// Tools > Rename File and Tools > Copy File: picks one of the open files and takes the new code.
// exec() shows the dialog until the user cancels or the change succeeds: OK checks the code
// (ValidateFileCode), hides the dialog and runs Execute; success closes the dialog with OK,
// failure shows it again. The change itself is TFileCodeChange's.
class TfmChangeFileCode : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 1900;
    // The help topics the Help button opens.
    static constexpr int RenameHelpTopic = 72000;
    static constexpr int CopyHelpTopic = 73000;

    // Carries out the change for the open file at an index (in the order of the list) with the
    // new code and the mode; true when it succeeded. It tells the user the outcome itself.
    using TExecute = std::function<bool(int fileIndex, const QString& newCode, int mode)>;

    explicit TfmChangeFileCode(QWidget* parent = nullptr);

    // Lists the year captions of the open files with the active one chosen, and sets the caption
    // for the mode (0 rename, 1 copy). The desktop form also makes Execute change the chosen
    // file through TFileCodeChange (the desktop must outlive the dialog); the list of captions
    // leaves that to SetExecute. An active index outside the list chooses the first file.
    void Setup(const TDesktopFiles& desktopFiles, int activeIndex, int mode);
    void Setup(const QStringList& captions, int activeIndex, int mode);
    void SetExecute(TExecute execute) { ExecuteChange = std::move(execute); }

    // "Rename File" or "Copy File".
    static QString CaptionFor(int mode);
    static int HelpTopicFor(int mode);

    // The code typed checked as a new file code; on an error the error box with its text, the
    // focus back in the code edit, and false.
    bool ValidateFileCode();
    // Runs the change for the chosen file; true when every file operation succeeded.
    bool Execute();

    int Mode() const { return ChangeMode; }
    // The open file chosen (its index in the list given to Setup); -1 when none.
    int SelectedIndex() const;
    // The code typed, trimmed.
    QString NewCode() const;

    // Until the user cancels or a change succeeds (see the class comment).
    int exec() override;

    // OK: ValidateFileCode; then, inside exec(), closes the dialog for exec() to run the change;
    // shown without exec(), hides it, runs Execute and accepts or shows it again.
    void btnOKClick();

    QLabel* lblOpenFiles = nullptr;
    QComboBox* cboOpenFiles = nullptr;
    QLabel* lblFileCode = nullptr;
    TFileCodeEdit* medFileCode = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnHelp = nullptr;

private:
    int ChangeMode = 0;
    TExecute ExecuteChange;
    bool Running = false; // inside exec()
};
