#pragma once

#include <QDialog>
#include <QString>

class QDialogButtonBox;
class QFileSystemModel;
class QPushButton;
class QTreeView;

// A folder browser: the folder tree with OK, Cancel and, when a help context is given, a Help
// button. It is centred on the screen, starts at FolderName when that folder exists, and OK is
// available only while the selection is an existing folder. On OK FolderName is the chosen
// folder without a trailing separator (the root keeps its own).
class TBrowseFolderDlg : public QDialog {
    Q_OBJECT
public:
    explicit TBrowseFolderDlg(QWidget* parent = nullptr);

    QString DialogText() const { return Text; }
    void SetDialogText(const QString& text) { Text = text; }
    int HelpContext() const { return Context; }
    void SetHelpContext(int context) { Context = context; }
    QString FolderName() const { return Folder; }
    void SetFolderName(const QString& folder) { Folder = folder; }

    // Shows the dialog modally; true (and FolderName) on OK.
    bool Execute();

    // Sets the dialog up from its properties as Execute does before it shows it.
    void Prepare();

    // The folder selected in the tree (empty when none), the OK button, and the Help button
    // (null when there is no help context).
    QString SelectedFolder() const;
    QPushButton* OkButton() const;
    QPushButton* HelpButton() const { return Help; }

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void SelectionChanged();

    QString Text;
    int Context = 0;
    QString Folder;
    QFileSystemModel* Model;
    QTreeView* Tree;
    QDialogButtonBox* Buttons;
    QPushButton* Help = nullptr;
};

// Browses for a folder starting at Folder, with Text as the dialog's title and HelpContext for
// its Help button. True, with Folder set to the chosen folder, on OK.
bool BrowseDirectory(QString& folder, const QString& text, int helpContext);
