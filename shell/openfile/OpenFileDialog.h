#pragma once

#include "shell/openfile/OpenFileList.h"

#include <QDialog>
#include <QStyleOptionViewItem>

class QAction;
class QPainter;
class QLineEdit;
class QPushButton;
class TDesktopFiles;
class TFocusNext;
class TMultiSelectStringGrid;

// The list of the practice's client files, from which File > Open picks the files to open (mode
// 0, with who holds each file) and the BAS/IAS set-up picks group members (mode 1). Shown
// modally after Setup; OK, or a double click on a row, accepts. The rules live in TOpenFileList.
class TfmOpenFile : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 28;

    explicit TfmOpenFile(QWidget* parent = nullptr);

    // Fills the list; the number of files found, or -1 (after the message) when there is none.
    int Setup(const TDesktopFiles& desktopFiles, int mode);
    int Setup(const QStringList& desktopCodes, int mode);

    // Every selected row's code followed by a comma, in row order.
    void GetSelectedCodes(QString& codes) const;
    // One flag of TOpenFileSelection per selected row, each followed by a comma: "1" for an
    // available file (or for every row when Ctrl was held at the last key or mouse event of the
    // dialog), "0" for one in use, "2" for one not permitted.
    void GetSelectedAvailability(QString& flags) const;
    // Both, for the desktop's OpenFiles.
    TOpenFileSelection Selection() const;

    // Searches with the find dialog's text (Find Again); selects and shows the match.
    void FindAgain();

    TMultiSelectStringGrid* msgOpenFile = nullptr;
    TFocusNext* FocusNext1 = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnHelp = nullptr;
    QAction* actFind = nullptr;
    QAction* actFindAgain = nullptr;
    QDialog* FindDialog = nullptr;
    QLineEdit* edtFindText = nullptr;

private:
    void FillGrid();
    QList<int> SelectedRows() const;
    void ShowFindDialog();
    bool DrawCell(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;

    TOpenFileList List;
};
