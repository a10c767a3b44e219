#include "shell/openfile/OpenFileDialog.h"

#include "controls/grids/MultiSelectStringGrid.h"
#include "controls/small/FocusNext.h"
#include "controls/util/ControlHelpers.h"
#include "controls/util/SlotGuard.h"
#include "core/entity/DesktopFiles.h"
#include "core/services/Services.h"
#include "core/vocab/Colours.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

constexpr int RowHeight = 16;
constexpr int TextOffset = 2;
const int ColumnWidths[] = {70, 220, 160, 170};

} // namespace

TfmOpenFile::TfmOpenFile(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Open File"));
    auto* layout = new QVBoxLayout(this);

    auto* menuBar = new QMenuBar(this);
    QMenu* search = menuBar->addMenu(QStringLiteral("&Search"));
    actFind = search->addAction(QStringLiteral("&Find"));
    actFind->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    actFindAgain = search->addAction(QStringLiteral("Find Again"));
    actFindAgain->setShortcut(QKeySequence(Qt::Key_F3));
    addAction(actFind);
    addAction(actFindAgain);
    layout->setMenuBar(menuBar);

    msgOpenFile = new TMultiSelectStringGrid(this);
    msgOpenFile->setObjectName(QStringLiteral("msgOpenFile"));
    msgOpenFile->setColumnCount(4);
    msgOpenFile->verticalHeader()->hide();
    msgOpenFile->verticalHeader()->setDefaultSectionSize(RowHeight);
    msgOpenFile->verticalHeader()->setMinimumSectionSize(RowHeight);
    msgOpenFile->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    msgOpenFile->setEditTriggers(QAbstractItemView::NoEditTriggers);
    msgOpenFile->OnDrawCell = [this](QPainter* painter, const QStyleOptionViewItem& option,
                                     const QModelIndex& index) { return DrawCell(painter, option, index); };
    layout->addWidget(msgOpenFile);

    const TDialogButtons dialogButtons = MakeOKCancelHelp(this);
    QDialogButtonBox* buttons = dialogButtons.Box;
    btnOK = dialogButtons.OK;
    btnCancel = dialogButtons.Cancel;
    btnHelp = dialogButtons.Help;
    layout->addWidget(buttons);
    // Wide enough to show every column at its width beside the scroll bar.
    const QMargins margins = layout->contentsMargins();
    int width = margins.left() + margins.right() + 2 * msgOpenFile->frameWidth() +
                msgOpenFile->verticalScrollBar()->sizeHint().width();
    for (const int column : ColumnWidths)
        width += column;
    resize(width, 360);

    FocusNext1 = new TFocusNext(this);

    FindDialog = new QDialog(this);
    FindDialog->setWindowTitle(QStringLiteral("Find"));
    auto* findLayout = new QHBoxLayout(FindDialog);
    findLayout->addWidget(new QLabel(QStringLiteral("Fi&nd what:"), FindDialog));
    edtFindText = new QLineEdit(FindDialog);
    findLayout->addWidget(edtFindText);
    auto* findButton = new QPushButton(QStringLiteral("&Find Next"), FindDialog);
    findButton->setDefault(true);
    auto* closeButton = new QPushButton(QStringLiteral("Cancel"), FindDialog);
    findLayout->addWidget(findButton);
    findLayout->addWidget(closeButton);

    ConnectOKCancelHelp(this, dialogButtons, HelpContext);
    connect(msgOpenFile, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { List.SetStartRow(index.row()); });
    connect(msgOpenFile, &QAbstractItemView::doubleClicked, this, [this] { accept(); });
    connect(actFind, &QAction::triggered, this, [this] { GuardSlot([this] { ShowFindDialog(); }); });
    connect(actFindAgain, &QAction::triggered, this, [this] { GuardSlot([this] { FindAgain(); }); });
    connect(findButton, &QPushButton::clicked, this, [this] { GuardSlot([this] { FindAgain(); }); });
    connect(closeButton, &QPushButton::clicked, FindDialog, &QDialog::close);
}

int TfmOpenFile::Setup(const TDesktopFiles& desktopFiles, int mode) {
    const int result = List.Setup(desktopFiles, mode);
    FillGrid();
    return result;
}

int TfmOpenFile::Setup(const QStringList& desktopCodes, int mode) {
    const int result = List.Setup(desktopCodes, mode);
    FillGrid();
    return result;
}

void TfmOpenFile::FillGrid() {
    setWindowTitle(List.Caption());
    const QStringList titles = List.ColumnTitles();
    msgOpenFile->ClearSelection();
    msgOpenFile->setColumnCount(static_cast<int>(titles.size()));
    msgOpenFile->setHorizontalHeaderLabels(titles);
    const QList<TOpenFileRow>& rows = List.Rows();
    msgOpenFile->setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < rows.size(); ++row) {
        const QStringList cells{rows[row].Code, rows[row].Name, rows[row].TypeName, rows[row].Status};
        for (int column = 0; column < titles.size(); ++column)
            msgOpenFile->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    for (int column = 0; column < titles.size(); ++column)
        msgOpenFile->setColumnWidth(column, ColumnWidths[column]);
    // Without the status column the name takes its room.
    if (List.Mode() == TOpenFileList::SelectionMode)
        msgOpenFile->setColumnWidth(1, ColumnWidths[1] + ColumnWidths[3]);
    // The first file starts chosen, so OK and Enter work without a click first.
    if (!rows.isEmpty()) {
        msgOpenFile->SetRowSelected(0, true);
        msgOpenFile->setCurrentCell(0, 0);
    }
}

QList<int> TfmOpenFile::SelectedRows() const {
    QList<int> rows;
    for (int row = 0; row < msgOpenFile->rowCount(); ++row)
        if (msgOpenFile->IsRowSelected(row))
            rows << row;
    // Nothing selected: the row with the focus frame is the one meant.
    const int current = msgOpenFile->currentRow();
    if (rows.isEmpty() && current >= 0 && current < List.Rows().size())
        rows << current;
    return rows;
}

TOpenFileSelection TfmOpenFile::Selection() const {
    return List.Selection(SelectedRows(), FocusNext1->CtrlHeld());
}

void TfmOpenFile::GetSelectedCodes(QString& codes) const {
    codes = Selection().CodesText();
}

void TfmOpenFile::GetSelectedAvailability(QString& flags) const {
    flags = Selection().FlagsText();
}

void TfmOpenFile::ShowFindDialog() {
    FindDialog->show();
    FindDialog->raise();
    edtFindText->setFocus();
}

void TfmOpenFile::FindAgain() {
    const int row = List.Find(edtFindText->text());
    if (row < 0)
        return;
    msgOpenFile->ClearSelection();
    msgOpenFile->SetRowSelected(row, true);
    msgOpenFile->setCurrentCell(row, 0);
    msgOpenFile->scrollToItem(msgOpenFile->item(row, 0));
    msgOpenFile->viewport()->update();
}

bool TfmOpenFile::DrawCell(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
    const int row = index.row();
    if (List.Mode() != TOpenFileList::OpenMode || index.column() == 0 || row < 0 ||
        row >= List.Rows().size() || msgOpenFile->IsRowSelected(row) ||
        List.Rows()[row].Availability != TFileAvailability::OpenOnDesktop)
        return false;
    painter->save();
    painter->fillRect(option.rect, QColor::fromRgba(HighlightColour4));
    painter->setPen(Qt::black);
    painter->setFont(option.font);
    const QRect textRect = option.rect.adjusted(TextOffset, TextOffset, 0, 0);
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, index.data().toString());
    painter->restore();
    return true;
}
