#include "controls/files/BrowseFolderDialog.h"

#include "controls/files/FolderTextRules.h"
#include "controls/util/SlotGuard.h"
#include "controls/util/WindowRoutines.h"
#include "core/services/Services.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileSystemModel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

TBrowseFolderDlg::TBrowseFolderDlg(QWidget* parent)
    : QDialog(parent), Model(new QFileSystemModel(this)), Tree(new QTreeView(this)),
      Buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    Model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    Model->setReadOnly(true);
    Model->setRootPath(TFolderTextRules::Root());
    Tree->setModel(Model);
    Tree->setHeaderHidden(true);
    for (int column = 1; column < Model->columnCount(); ++column)
        Tree->hideColumn(column);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Tree);
    layout->addWidget(Buttons);
    resize(360, 420);
    connect(Buttons, &QDialogButtonBox::accepted, this, &TBrowseFolderDlg::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &TBrowseFolderDlg::reject);
    connect(Tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { SelectionChanged(); });
    SelectionChanged();
}

void TBrowseFolderDlg::Prepare() {
    setWindowTitle(Text);
    if (Context != 0 && Help == nullptr) {
        Help = Buttons->addButton(tr("&Help"), QDialogButtonBox::HelpRole);
        connect(Help, &QPushButton::clicked, this,
                [this] { GuardSlot([this] { TServices::Help().ShowContext(Context); }); });
    } else if (Context == 0 && Help != nullptr) {
        Buttons->removeButton(Help);
        delete Help;
        Help = nullptr;
    }
    if (TFolderTextRules::DirExists(Folder)) {
        const QModelIndex start = Model->index(Folder);
        Tree->setCurrentIndex(start);
        Tree->scrollTo(start);
    }
    SelectionChanged();
}

bool TBrowseFolderDlg::Execute() {
    Prepare();
    return exec() == QDialog::Accepted;
}

QString TBrowseFolderDlg::SelectedFolder() const {
    const QModelIndex current = Tree->currentIndex();
    return current.isValid() ? Model->filePath(current) : QString();
}

QPushButton* TBrowseFolderDlg::OkButton() const {
    return Buttons->button(QDialogButtonBox::Ok);
}

void TBrowseFolderDlg::SelectionChanged() {
    OkButton()->setEnabled(TFolderTextRules::DirExists(SelectedFolder()));
}

void TBrowseFolderDlg::accept() {
    const QString selected = SelectedFolder();
    if (!TFolderTextRules::DirExists(selected))
        return;
    Folder = TFolderTextRules::RemoveTrailingSeparator(selected);
    QDialog::accept();
}

void TBrowseFolderDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CenterWindow(this);
}

bool BrowseDirectory(QString& folder, const QString& text, int helpContext) {
    TBrowseFolderDlg dialog(QApplication::activeWindow());
    dialog.SetDialogText(text);
    dialog.SetHelpContext(helpContext);
    dialog.SetFolderName(folder);
    if (!dialog.Execute())
        return false;
    folder = dialog.FolderName();
    return true;
}
