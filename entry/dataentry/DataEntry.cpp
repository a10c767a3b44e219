#include "entry/dataentry/DataEntry.h"

#include "controls/buttons/RxSpeedButton.h"
#include "controls/dates/CalendarDialog.h"
#include "controls/dates/CalendarModel.h"
#include "controls/placement/FormPlacement.h"
#include "core/entity/DesktopFiles.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/services/CursorScope.h"
#include "core/services/Services.h"
#include "core/transactions/DataEntryPage.h"
#include "core/transactions/TransactionClipboard.h"
#include "core/transactions/TransactionList.h"
#include "core/vocab/PageKinds.h"
#include "entry/dataentry/DataEntryEditor.h"
#include "entry/dataentry/TransactionCellDelegate.h"
#include "entry/dataentry/TransactionTableModel.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QScreen>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace {

constexpr int RowHeight = 18;
// Starting widths of the grid's columns, in its column order.
constexpr std::array<int, 11> ColumnWidths{72, 56, 80, 96, 40, 56, 64, 260, 28, 28, 80};

} // namespace

TfmDataEntry::TfmDataEntry(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TfmDataEntry"));
    setProperty("WindowKind", WindowKind);
    setWindowTitle(QStringLiteral("Data Entry"));
    // The window restores and saves its placement itself, its state kept beside the position.
    FormPlacement = new TFormPlacement(this);
    FormPlacement->SetActive(false);
    FormPlacement->SetIniFileName(QStringLiteral("Quilvane.ini"));
    FormPlacement->SetIniSection(PlacementSection);
    FormPlacement->SetOptions(TPlacementOption::Position);
    FormPlacement->KeepWindowState();
    CreateControls();
}

TfmDataEntry::~TfmDataEntry() {
    Delegate->OnRefused = nullptr;
    Delegate->OnCalendar = nullptr;
    Delegate->OnStep = nullptr;
    Delegate->OnCancelled = nullptr;
    // The view must not read a page through an editor that is going.
    TableModel->SetEditor(nullptr);
}

TRxSpeedButton* TfmDataEntry::AddButton(const QString& name, const QString& caption, const QString& hint,
                                        void (TfmDataEntry::*slot)()) {
    auto* button = new TRxSpeedButton(this);
    button->setObjectName(name);
    button->setText(caption);
    button->setToolTip(hint);
    button->setAutoRaise(true);
    button->OnClick = [this, slot] { (this->*slot)(); };
    return button;
}

void TfmDataEntry::CreateControls() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* buttons = new QHBoxLayout();
    buttons->setContentsMargins(2, 2, 2, 2);
    spbCopyToClipboard =
        AddButton(QStringLiteral("spbCopyToClipboard"), QStringLiteral("Copy"),
                  QStringLiteral("Copy Transaction(s)"), &TfmDataEntry::spbCopyToClipboardClick);
    spbPasteFromClipboard =
        AddButton(QStringLiteral("spbPasteFromClipboard"), QStringLiteral("Paste"),
                  QStringLiteral("Paste Transaction(s)"), &TfmDataEntry::spbPasteFromClipboardClick);
    spbInsertTransaction =
        AddButton(QStringLiteral("spbInsertTransaction"), QStringLiteral("Insert"),
                  QStringLiteral("Insert Transaction"), &TfmDataEntry::spbInsertTransactionClick);
    spbDeleteTransaction =
        AddButton(QStringLiteral("spbDeleteTransaction"), QStringLiteral("Delete"),
                  QStringLiteral("Delete Transaction(s)"), &TfmDataEntry::spbDeleteTransactionClick);
    spbCreateDissection =
        AddButton(QStringLiteral("spbCreateDissection"), QStringLiteral("Dissect"),
                  QStringLiteral("Create Dissection"), &TfmDataEntry::spbCreateDissectionClick);
    spbRemoveDissection =
        AddButton(QStringLiteral("spbRemoveDissection"), QStringLiteral("Undissect"),
                  QStringLiteral("Remove Dissection"), &TfmDataEntry::spbRemoveDissectionClick);
    spbGenerateContras =
        AddButton(QStringLiteral("spbGenerateContras"), QStringLiteral("Contras"),
                  QStringLiteral("Generate Contras"), &TfmDataEntry::spbGenerateContrasClick);
    for (QWidget* button :
         {static_cast<QWidget*>(spbCopyToClipboard), static_cast<QWidget*>(spbPasteFromClipboard),
          static_cast<QWidget*>(spbInsertTransaction), static_cast<QWidget*>(spbDeleteTransaction),
          static_cast<QWidget*>(spbCreateDissection), static_cast<QWidget*>(spbRemoveDissection),
          static_cast<QWidget*>(spbGenerateContras)})
        buttons->addWidget(button);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    tabPages = new QTabBar(this);
    tabPages->setObjectName(QStringLiteral("tabPages"));
    tabPages->setExpanding(false);
    tabPages->setDocumentMode(true);
    layout->addWidget(tabPages);
    connect(tabPages, &QTabBar::currentChanged, this, &TfmDataEntry::tabPagesCurrentChanged);

    grdTransactions = new QTableView(this);
    grdTransactions->setObjectName(QStringLiteral("grdTransactions"));
    grdTransactions->setSelectionMode(QAbstractItemView::ContiguousSelection);
    grdTransactions->setSelectionBehavior(QAbstractItemView::SelectItems);
    grdTransactions->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                     QAbstractItemView::AnyKeyPressed);
    grdTransactions->setWordWrap(false);
    // Fixed row heights: the view never measures a row, whatever the page's length.
    grdTransactions->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdTransactions->verticalHeader()->setDefaultSectionSize(RowHeight);
    grdTransactions->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grdTransactions->installEventFilter(this);
    connect(grdTransactions->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &TfmDataEntry::SortByColumn);
    layout->addWidget(grdTransactions, 1);

    TableModel = new TTransactionTableModel(nullptr, this);
    grdTransactions->setModel(TableModel);
    for (int column = 0; column < static_cast<int>(ColumnWidths.size()); ++column)
        grdTransactions->setColumnWidth(column, ColumnWidths[static_cast<size_t>(column)]);
    Delegate = new TTransactionCellDelegate(this);
    Delegate->OnRefused = [this](const QPersistentModelIndex& index, const QString& typed,
                                 const QString& message) { CellRefused(index, typed, message); };
    Delegate->OnRefusedInPlace = [](const QString& message) {
        if (!message.isEmpty())
            MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error, message, TMessageButton::OK);
    };
    Delegate->OnCalendar = [this] { PickDate(); };
    Delegate->OnStep = [this](TCellStep step) { StepCell(step); };
    Delegate->OnCancelled = [this] { DropNewRow(); };
    grdTransactions->setItemDelegate(Delegate);
    connect(grdTransactions->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TfmDataEntry::CurrentCellChanged);
    // A field taken may make the line one that the commands work on.
    connect(TableModel, &QAbstractItemModel::dataChanged, this, &TfmDataEntry::UpdateButtons);
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        connect(clipboard, &QClipboard::dataChanged, this, &TfmDataEntry::UpdateButtons);
    UpdateButtons();
}

// --- the file and page shown ---------------------------------------------------------------------

void TfmDataEntry::Init(TDesktopFiles& desktopFiles, int activeIndex) {
    Files = &desktopFiles;
    ShowFile(activeIndex);
}

TEntityInfo* TfmDataEntry::ShownFile() const {
    return Files && Files->File(ShownFileIndex) == ShownFilePointer ? ShownFilePointer : nullptr;
}

int TfmDataEntry::ShownPageIndex() const {
    return PageEditor ? ShownPage : -1;
}

bool TfmDataEntry::CheckShown() {
    TEntityInfo* file = ShownFile();
    if (file && file->DataEntryPage(ShownPage) == ShownPagePointer && ShownPagePointer && PageEditor)
        return true;
    if (PageEditor) {
        // The page went behind the window's back: nothing of it may be read any more.
        Delegate->DiscardOpenEditor();
        DropEditor();
        if (file)
            RebuildTabs();
    }
    return false;
}

void TfmDataEntry::DropEditor() {
    TableModel->SetEditor(nullptr);
    PageEditor.reset();
    ShownPage = -1;
    ShownPagePointer = nullptr;
    Refused.reset();
    UpdateButtons();
}

void TfmDataEntry::RebuildTabs() {
    const QSignalBlocker blocker(tabPages);
    while (tabPages->count() > 0)
        tabPages->removeTab(tabPages->count() - 1);
    if (TEntityInfo* file = ShownFile())
        for (int i = 0; i < file->DataEntryPageCount(); ++i)
            tabPages->addTab(file->DataEntryPageCaption(i).trimmed());
    tabPages->setCurrentIndex(ShownPage);
}

void TfmDataEntry::ShowFile(int fileIndex) {
    DropEditor();
    ShownFileIndex = fileIndex;
    ShownFilePointer = Files ? Files->File(fileIndex) : nullptr;
    if (!ShownFilePointer)
        ShownFileIndex = -1;
    RebuildTabs();
    TEntityInfo* file = ShownFile();
    if (file && file->DataEntryPageCount() > 0)
        ShowPage(file->CurrentPage >= 0 && file->CurrentPage < file->DataEntryPageCount() ? file->CurrentPage
                                                                                          : 0);
    setWindowTitle(file ? QStringLiteral("Data Entry - ") + file->YearCaption(-1)
                        : QStringLiteral("Data Entry"));
}

void TfmDataEntry::ShowPage(int pageIndex) {
    TEntityInfo* file = ShownFile();
    TDataEntryPage* page = file ? file->DataEntryPage(pageIndex) : nullptr;
    DropEditor();
    if (!page) {
        RebuildTabs();
        return;
    }
    PageEditor = std::make_unique<TDataEntryEditor>(*page);
    ShownPage = pageIndex;
    ShownPagePointer = page;
    file->CurrentPage = pageIndex;
    TableModel->SetEditor(PageEditor.get());
    for (int column = 0; column < TTransactionGrid::ColumnCount; ++column)
        grdTransactions->setColumnHidden(column, !PageEditor->Grid().ColumnShown(column));
    {
        const QSignalBlocker blocker(tabPages);
        if (tabPages->count() != file->DataEntryPageCount())
            RebuildTabs();
        tabPages->setCurrentIndex(pageIndex);
    }
    ShowPosition();
    UpdateButtons();
}

void TfmDataEntry::ShowPosition() {
    if (!PageEditor)
        return;
    TDataEntryPage& page = PageEditor->Page();
    const int index = PageEditor->CurrentIndex();
    if (index < 0)
        return;
    Positioning = true;
    const QModelIndex current = TableModel->index(index, page.CurrentColumn);
    QItemSelectionModel* selection = grdTransactions->selectionModel();
    selection->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    const int top = std::clamp(page.Selection.Top - 1, 0, PageEditor->Count() - 1);
    const int bottom = std::clamp(page.Selection.Bottom - 1, 0, PageEditor->Count() - 1);
    selection->select(QItemSelection(TableModel->index(std::min(top, bottom), page.CurrentColumn),
                                     TableModel->index(std::max(top, bottom), page.CurrentColumn)),
                      QItemSelectionModel::ClearAndSelect);
    int currentRow = index + 1;
    int topRow = page.TopRow;
    AdjustTopRow(currentRow, topRow);
    page.TopRow = topRow;
    grdTransactions->verticalScrollBar()->setValue(topRow - 1);
    Positioning = false;
}

void TfmDataEntry::AdjustTopRow(int& currentRow, int& topRow) {
    const int rowHeight = std::max(1, grdTransactions->verticalHeader()->defaultSectionSize());
    const int visible = std::max(1, grdTransactions->viewport()->height() / rowHeight);
    TDataEntryEditor::AdjustTopRow(currentRow, topRow, visible, PageEditor ? PageEditor->Count() : 0);
}

void TfmDataEntry::Minimise() {
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        frame->showMinimized();
    else if (isWindow())
        showMinimized();
}

// --- keying --------------------------------------------------------------------------------------

bool TfmDataEntry::EndCellEdit() {
    if (!Delegate->OpenEditor())
        return true;
    CommittingNow = true;
    const bool taken = Delegate->CommitOpenEditor();
    CommittingNow = false;
    if (taken)
        return true;
    const std::optional<TRefused> refused = std::exchange(Refused, std::nullopt);
    if (refused && !refused->Message.isEmpty())
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error, refused->Message, TMessageButton::OK);
    if (QWidget* editor = Delegate->OpenEditor())
        editor->setFocus();
    return false;
}

void TfmDataEntry::CellRefused(const QPersistentModelIndex& index, const QString& typed,
                               const QString& message) {
    if (Refused)
        return;
    Refused = TRefused{index, index.column(), typed, message};
    // The view is in the middle of leaving the cell: the message and the cell come back after it.
    if (!CommittingNow)
        QMetaObject::invokeMethod(this, &TfmDataEntry::ReopenRefusedCell, Qt::QueuedConnection);
}

void TfmDataEntry::ReopenRefusedCell() {
    const std::optional<TRefused> refused = std::exchange(Refused, std::nullopt);
    if (!refused || !PageEditor)
        return;
    if (!refused->Message.isEmpty())
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error, refused->Message, TMessageButton::OK);
    if (!CheckShown())
        return;
    // When rows were read afresh on the way, the refused field is on the row the page stands on.
    const int row = refused->Index.isValid() ? refused->Index.row() : PageEditor->CurrentIndex();
    const QModelIndex index = TableModel->index(row, refused->Column);
    if (!index.isValid())
        return;
    Positioning = true;
    grdTransactions->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    Positioning = false;
    Delegate->SetPendingText(index, refused->Typed);
    grdTransactions->edit(index);
    if (QWidget* editor = Delegate->OpenEditor())
        editor->setFocus();
}

void TfmDataEntry::CurrentCellChanged() {
    if (Positioning || Refused || FollowQueued)
        return;
    FollowQueued = true;
    // The view is still moving: the page follows once it has.
    QMetaObject::invokeMethod(this, &TfmDataEntry::FollowCurrentCell, Qt::QueuedConnection);
}

void TfmDataEntry::FollowCurrentCell() {
    FollowQueued = false;
    if (Refused || !CheckShown())
        return;
    const QModelIndex current = grdTransactions->currentIndex();
    if (!current.isValid())
        return;
    if (current.row() == PageEditor->CurrentIndex()) {
        PageEditor->MoveTo(current.row(), current.column());
        UpdateButtons();
        return;
    }
    // A cell of the new row is being typed in already: its leaving takes the row.
    if (Delegate->OpenEditor())
        return;
    const TViewSpot spot = SpotOfView();
    const TTransactionDetail* wanted = PageEditor->List().GetItem(current.row());
    TableModel->Change([&] { PageEditor->MoveTo(current.row(), current.column()); });
    SelectSpot(spot);
    if (wanted && PageEditor->List().GetItem(PageEditor->CurrentIndex()) != wanted)
        PageEditor->MoveTo(PageEditor->IndexOfEntry(wanted), current.column());
    ShowPosition();
    UpdateButtons();
}

TfmDataEntry::TViewSpot TfmDataEntry::SpotOfView() const {
    TViewSpot spot;
    if (!PageEditor)
        return spot;
    int top = -1;
    int bottom = -1;
    for (const QItemSelectionRange& range : grdTransactions->selectionModel()->selection()) {
        top = top < 0 ? range.top() : std::min(top, range.top());
        bottom = std::max(bottom, range.bottom());
    }
    spot.First = PageEditor->List().GetItem(top);
    spot.Last = PageEditor->List().GetItem(bottom);
    return spot;
}

void TfmDataEntry::SelectSpot(const TViewSpot& spot) {
    if (!PageEditor)
        return;
    const int first = PageEditor->IndexOfEntry(spot.First);
    const int last = PageEditor->IndexOfEntry(spot.Last);
    if (first >= 0 && last >= 0)
        PageEditor->SetSelection(first, last);
}

void TfmDataEntry::LeavePage() {
    if (!CheckShown())
        return;
    if (!EndCellEdit())
        Delegate->DiscardOpenEditor();
    TableModel->Change([&] { PageEditor->FinishRow(); });
}

void TfmDataEntry::tabPagesCurrentChanged(int index) {
    if (!CheckShown()) {
        ShowPage(index);
        GiveKeyboardToGrid();
        return;
    }
    if (index == ShownPage)
        return;
    if (!EndCellEdit()) {
        // The refused cell keeps its page in front.
        const QSignalBlocker blocker(tabPages);
        tabPages->setCurrentIndex(ShownPage);
        return;
    }
    TableModel->Change([&] { PageEditor->FinishRow(); });
    ShowPage(index);
    GiveKeyboardToGrid();
}

bool TfmDataEntry::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grdTransactions && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (TTransactionCellDelegate::IsCalendarKey(*key) && OpenDateCell())
            return true;
        if (key->key() == Qt::Key_Escape && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
            DropNewRow())
            return true;
        if (const std::optional<TCellStep> step = TTransactionCellDelegate::StepOfKey(*key)) {
            // Up and Down between lines not being typed in are the grid's own, but for a new line.
            const bool acrossLines = *step == TCellStep::Up || *step == TCellStep::Down;
            if (acrossLines && !Delegate->OpenEditor())
                return (*step == TCellStep::Down && GoToNewRow()) || QWidget::eventFilter(watched, event);
            if (StepCell(*step) || Delegate->OpenEditor())
                return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool TfmDataEntry::StepCell(TCellStep step) {
    if (!CheckShown() || !EndCellEdit())
        return false;
    const QModelIndex current = grdTransactions->currentIndex();
    if (!current.isValid())
        return false;
    const int row = current.row();
    const int column = current.column();
    const int count = PageEditor->Count();
    switch (step) {
    case TCellStep::Next:
        if (const int next = EditableColumn(row, column, false); next >= 0) {
            GoToCell(row, next, true);
            return true;
        }
        // Generated lines (tax lines, totals, contras) take no typing and are passed over.
        for (int below = row + 1; below < count; ++below)
            if (const int first = EditableColumn(below, -1, false); first >= 0) {
                GoToCell(below, first, true);
                return true;
            }
        if (GoToNewRow())
            OpenCurrentCell();
        return true;
    case TCellStep::Previous:
        if (const int previous = EditableColumn(row, column, true); previous >= 0) {
            GoToCell(row, previous, true);
            return true;
        }
        for (int above = row - 1; above >= 0; --above)
            if (const int last = EditableColumn(above, TTransactionGrid::ColumnCount, true); last >= 0) {
                GoToCell(above, last, true);
                return true;
            }
        return true;
    case TCellStep::Up:
        if (row > 0)
            GoToCell(row - 1, column, false);
        return true;
    case TCellStep::Down:
        if (row + 1 < count)
            GoToCell(row + 1, column, false);
        else
            GoToNewRow();
        return true;
    }
    return true;
}

int TfmDataEntry::EditableColumn(int row, int from, bool backwards) const {
    const int step = backwards ? -1 : 1;
    for (int column = from + step; column >= 0 && column < TTransactionGrid::ColumnCount; column += step)
        if (!grdTransactions->isColumnHidden(column) && PageEditor->IsEditable(row, column))
            return column;
    return -1;
}

void TfmDataEntry::GoToCell(int row, int column, bool open) {
    if (row == PageEditor->CurrentIndex()) {
        PageEditor->MoveTo(row, column);
    } else {
        // Leaving the line finishes it, which may move lines: the page says where the cell went.
        TableModel->Change([&] { PageEditor->MoveTo(row, column); });
    }
    ShowPosition();
    UpdateButtons();
    if (open)
        OpenCurrentCell();
}

void TfmDataEntry::OpenCurrentCell() {
    const QModelIndex current = grdTransactions->currentIndex();
    if (!current.isValid() || !TableModel->flags(current).testFlag(Qt::ItemIsEditable))
        return;
    grdTransactions->edit(current);
    if (QWidget* editor = Delegate->OpenEditor())
        editor->setFocus();
}

bool TfmDataEntry::OpenDateCell() {
    if (!CheckShown() || Delegate->OpenEditor())
        return false;
    const QModelIndex current = grdTransactions->currentIndex();
    if (!current.isValid() || !TTransactionCellDelegate::IsDateColumn(current.column()) ||
        !TableModel->flags(current).testFlag(Qt::ItemIsEditable))
        return false;
    grdTransactions->edit(current);
    if (!Delegate->OpenEditor())
        return false;
    Delegate->OpenCalendar();
    return true;
}

void TfmDataEntry::PickDate() {
    const QPointer<QLineEdit> editor = qobject_cast<QLineEdit*>(Delegate->OpenEditor());
    if (!editor || !CheckShown())
        return;
    const TDataEntryEditor::TCalendarDays days = PageEditor->CalendarDays(editor->text());
    // The calendar is the window's child: it goes with the window should the window go first.
    const QPointer<TfmDataEntry> self(this);
    const QPointer<TfmCalendar> calendar = new TfmCalendar(this);
    calendar->SetDate(days.Date, days.Fallback);
    const QRect cell(editor->mapToGlobal(QPoint(0, 0)), editor->size());
    const QScreen* screen = editor->screen();
    calendar->move(PlacePopup(cell, calendar->size(), screen ? screen->availableGeometry() : cell));
    const bool picked = calendar->exec() == QDialog::Accepted;
    if (!self || !calendar)
        return;
    const double day = calendar->GetDate();
    delete calendar.data();
    // The cell may have gone while the calendar was up (its page closed by the frame).
    if (!editor || Delegate->OpenEditor() != editor.data())
        return;
    editor->activateWindow();
    editor->setFocus();
    // The window may become active again only after the cell has closed (the window system
    // activates it later): the grid is made its keyboard's place, so that the keyboard comes
    // back to this cell and not to the first control of the frame.
    if (picked && Delegate->EnterText(TDataEntryEditor::PickedDayText(day)))
        GiveKeyboardToGrid();
}

bool TfmDataEntry::GoToNewRow() {
    if (!CheckShown() || Delegate->OpenEditor())
        return false;
    const int row = grdTransactions->currentIndex().row();
    if (row < 0 || row != PageEditor->Count() - 1 || row != PageEditor->CurrentIndex() ||
        !PageEditor->RowPending())
        return false;
    TableModel->Change([&] {
        PageEditor->FinishRow();
        PageEditor->MoveTo(PageEditor->Count() - 1, 0);
    });
    ShowPosition();
    UpdateButtons();
    return true;
}

void TfmDataEntry::closeEvent(QCloseEvent* event) {
    // Closing the window closes the pages of every open file, each writing what it holds; a
    // cancelled question about a row being keyed keeps the window open.
    for (int i = 0; Files && i < Files->Count(); ++i) {
        const TEntityInfo* file = Files->File(i);
        if (file && file->DataEntryPageCount() > 0 && CloseAllPages(i, false, false) == PagesCancelled) {
            event->ignore();
            return;
        }
    }
    // A placement that cannot be written never keeps the window open.
    FormPlacement->SaveFormPlacementQuietly();
    QWidget::closeEvent(event);
}

void TfmDataEntry::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Only once the window is in its frame does its position mean anything there.
    if (!FormPlacement->Restored())
        FormPlacement->RestoreFormPlacementQuietly();
}

// --- what the frame asks ---------------------------------------------------------------------------

int TfmDataEntry::OpenPage(int pageKind, int period) {
    return OpenPage(pageKind, period, 1, TOptionSet{Option::Load});
}

int TfmDataEntry::OpenPage(int pageKind, int period, int showProgress, const TOptionSet& options) {
    if (!Files || !Files->ActiveFile())
        return -1;
    if (ShownFile() != Files->ActiveFile() || ShownFileIndex != Files->ActiveIndex()) {
        LeavePage();
        ShowFile(Files->ActiveIndex());
    }
    LeavePage();
    TEntityInfo& file = *Files->ActiveFile();
    int index = -1;
    {
        std::optional<TCursorScope> hourglass;
        if (showProgress != 0)
            hourglass.emplace(TCursorKind::Busy);
        // Pages may come in before the one in front: the tabs are made again.
        TableModel->SetEditor(nullptr);
        index = file.OpenDataEntryPage(pageKind, period, options, showProgress != 0);
    }
    DropEditor();
    RebuildTabs();
    ShowPage(index >= 0 ? index : file.CurrentPage);
    GiveKeyboardToGrid();
    return index;
}

int TfmDataEntry::CloseAllPages(int fileIndex, bool minimise, bool record) {
    TEntityInfo* file = Files ? Files->File(fileIndex) : nullptr;
    if (!file)
        return 1;
    if (minimise)
        Minimise();
    CheckShown();
    if (file == ShownFile() && PageEditor && !EndCellEdit())
        return PagesCancelled;
    if (record)
        file->RecordOpenPages();
    else
        file->EntityDetail().DataEntryPages.clear();
    if (file != ShownFile() || fileIndex != ShownFileIndex) {
        LeavePage();
        ShowFile(fileIndex);
    }
    while (file->DataEntryPageCount() > 0) {
        TDataEntryPage* page = file->DataEntryPage(0);
        if (page == ShownPagePointer && PageEditor) {
            if (PageEditor->RowPending()) {
                const TMessageButton answer = MessageBeepAndShow(
                    TServices::Prompt(), TMessageKind::Question,
                    TDataEntryEditor::KeepChangesQuestion.arg(page->List().GetPeriodTitle(false)),
                    TMessageButton::Yes | TMessageButton::No | TMessageButton::Cancel);
                if (answer != TMessageButton::Yes && answer != TMessageButton::No) {
                    // The page stays in front as it was, its row still being keyed.
                    ShownPage = 0;
                    file->CurrentPage = 0;
                    RebuildTabs();
                    ShowPosition();
                    UpdateButtons();
                    return PagesCancelled;
                }
                if (answer == TMessageButton::Yes)
                    TableModel->Change([&] { PageEditor->FinishRow(); });
                else
                    PageEditor->DiscardRow();
            }
            DropEditor();
        }
        file->DeleteDataEntryPage(0);
    }
    file->CurrentPage = -1;
    DropEditor();
    RebuildTabs();
    return 1;
}

void TfmDataEntry::RefreshDisplay(bool redraw) {
    if (!CheckShown())
        return;
    TDataEntryPage& page = PageEditor->Page();
    const int row = page.CurrentRow - 1;
    const int column = page.CurrentColumn;
    const int top = page.TopRow;
    if (redraw) {
        TableModel->Change([&] { PageEditor->MoveTo(row, column); });
    } else {
        PageEditor->MoveTo(row, column);
    }
    page.TopRow = top;
    ShowPosition();
    UpdateButtons();
}

void TfmDataEntry::ShowCurrentRow(int pageIndex) {
    CheckShown();
    TEntityInfo* file = ShownFile();
    if (!file || !file->DataEntryPage(pageIndex))
        return;
    if (pageIndex != ShownPage || !PageEditor) {
        // The frame moved the row of another page: the one in front finishes first.
        TDataEntryPage* wanted = file->DataEntryPage(pageIndex);
        const int row = wanted->CurrentRow;
        LeavePage();
        wanted->CurrentRow = row;
        ShowPage(file->DataEntryPage(pageIndex) == wanted ? pageIndex : file->CurrentPage);
    }
    RefreshDisplay(true);
}

void TfmDataEntry::FileOptionsChanged(int notice) {
    if (notice != dnQuantityOrCurrencyChanged && notice != dnTaxesChanged &&
        notice != dnContraIntervalChanged)
        return;
    CheckShown();
    TEntityInfo* file = ShownFile();
    if (!file)
        return;
    if (PageEditor) {
        // A text refused now would be read by a page about to be made again: the options win.
        if (!EndCellEdit())
            Delegate->DiscardOpenEditor();
        Refused.reset();
        TableModel->Change([&] { PageEditor->FinishRow(); });
    }
    const TTransactionList* front = ShownPagePointer ? &ShownPagePointer->List() : nullptr;
    const int frontKind = front ? front->PageKind() : -1;
    const int frontPeriod = front ? front->Period() : -1;
    DropEditor();
    // The pages' own history line brings each back where it stood; the file's history stays.
    const QStringList history = file->EntityDetail().DataEntryPages;
    file->RecordOpenPages();
    for (int i = file->DataEntryPageCount() - 1; i >= 0; --i)
        if (file->DataEntryPage(i)->List().PageKind() != pkDeletedTransactions)
            file->DeleteDataEntryPage(i);
    file->ReopenRecordedPages(true);
    file->EntityDetail().DataEntryPages = history;
    int frontIndex = -1;
    for (int i = 0; i < file->DataEntryPageCount(); ++i) {
        const TTransactionList& list = file->DataEntryPage(i)->List();
        if (list.PageKind() == frontKind && list.Period() == frontPeriod)
            frontIndex = i;
    }
    RebuildTabs();
    if (frontIndex < 0 && file->DataEntryPageCount() > 0)
        frontIndex = std::clamp(file->CurrentPage, 0, file->DataEntryPageCount() - 1);
    ShowPage(frontIndex);
}

void TfmDataEntry::ActiveFileChanged(int activeIndex) {
    LeavePage();
    ShowFile(activeIndex);
}

int TfmDataEntry::CurrentPageKind() const {
    return PageEditor && ShownFile() && ShownFile()->DataEntryPage(ShownPage) == ShownPagePointer
               ? PageEditor->List().PageKind()
               : -1;
}

void TfmDataEntry::GiveKeyboardToGrid() {
    if (PageEditor && !Delegate->OpenEditor())
        grdTransactions->setFocus(Qt::OtherFocusReason);
}

bool TfmDataEntry::DropNewRow() {
    if (!CheckShown() || Delegate->OpenEditor() || !PageEditor->RowIsNew() || !PageEditor->RowPending())
        return false;
    TableModel->Change([&] { PageEditor->DiscardRow(); });
    ShowPosition();
    UpdateButtons();
    return true;
}

bool TfmDataEntry::ClipboardHasTransactions() const {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* held = clipboard ? clipboard->mimeData() : nullptr;
    return held && TransactionClipboard::HasTransactions(*held);
}

bool TfmDataEntry::CommandEnabled(TDataEntryCommand command) const {
    if (CurrentPageKind() < 0)
        return false;
    return PageEditor->CommandEnabled(command, command == decPasteTransactions && ClipboardHasTransactions());
}

void TfmDataEntry::UpdateButtons() {
    const std::pair<TRxSpeedButton*, TDataEntryCommand> buttons[] = {
        {spbCopyToClipboard, decCopyTransactions},    {spbPasteFromClipboard, decPasteTransactions},
        {spbInsertTransaction, decInsertTransaction}, {spbDeleteTransaction, decDeleteTransactions},
        {spbCreateDissection, decCreateDissection},   {spbRemoveDissection, decRemoveDissection},
        {spbGenerateContras, decGenerateContras}};
    bool changed = false;
    for (const auto& [button, command] : buttons) {
        if (!button)
            continue;
        const bool enabled = CommandEnabled(command);
        changed = changed || button->testAttribute(Qt::WA_ForceDisabled) == enabled;
        button->setEnabled(enabled);
    }
    if (changed)
        emit CommandsChanged();
}

void TfmDataEntry::RunCommand(TDataEntryCommand command) {
    switch (command) {
    case decCopyTransactions:
        spbCopyToClipboardClick();
        break;
    case decPasteTransactions:
        spbPasteFromClipboardClick();
        break;
    case decInsertTransaction:
        spbInsertTransactionClick();
        break;
    case decDeleteTransactions:
        spbDeleteTransactionClick();
        break;
    case decCreateDissection:
        spbCreateDissectionClick();
        break;
    case decRemoveDissection:
        spbRemoveDissectionClick();
        break;
    case decGenerateContras:
        spbGenerateContrasClick();
        break;
    }
}

// --- commands ------------------------------------------------------------------------------------

void TfmDataEntry::SortByColumn(int column) {
    const int order = TDataEntryEditor::SortOrderOfColumn(column);
    if (order < 0 || !CheckShown() || !EndCellEdit())
        return;
    RunChange([&] { PageEditor->SetSortOrder(order); });
}

bool TfmDataEntry::PrepareCommand(TDataEntryCommand command) {
    // A key may come before the page has followed the grid's last move: it follows first.
    if (FollowQueued)
        FollowCurrentCell();
    if (!CheckShown() || !EndCellEdit())
        return false;
    const TViewSpot spot = SpotOfView();
    TableModel->Change([&] { PageEditor->FinishRow(); });
    SelectSpot(spot);
    ShowPosition();
    return CommandEnabled(command);
}

void TfmDataEntry::RunChange(const std::function<void()>& operation) {
    TableModel->Change(operation);
    ShowPosition();
    UpdateButtons();
}

void TfmDataEntry::spbCopyToClipboardClick() {
    if (!PrepareCommand(decCopyTransactions))
        return;
    std::unique_ptr<QMimeData> copied = PageEditor->CopyTransactions();
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setMimeData(copied.release());
    UpdateButtons();
}

void TfmDataEntry::spbPasteFromClipboardClick() {
    if (!PrepareCommand(decPasteTransactions))
        return;
    const QMimeData* held = QGuiApplication::clipboard()->mimeData();
    if (!held)
        return;
    // The clipboard may change while a message is shown: the records are taken first.
    QMimeData copy;
    copy.setData(TransactionClipboard::MimeType(), held->data(TransactionClipboard::MimeType()));
    RunChange([&] { PageEditor->PasteTransactions(copy); });
}

void TfmDataEntry::spbInsertTransactionClick() {
    if (PrepareCommand(decInsertTransaction))
        RunChange([&] { PageEditor->InsertTransaction(); });
}

void TfmDataEntry::spbDeleteTransactionClick() {
    if (PrepareCommand(decDeleteTransactions))
        RunChange([&] { PageEditor->DeleteTransactions(); });
}

void TfmDataEntry::spbCreateDissectionClick() {
    if (PrepareCommand(decCreateDissection))
        RunChange([&] { PageEditor->CreateDissection(); });
}

void TfmDataEntry::spbRemoveDissectionClick() {
    if (PrepareCommand(decRemoveDissection))
        RunChange([&] { PageEditor->RemoveDissection(); });
}

void TfmDataEntry::spbGenerateContrasClick() {
    if (PrepareCommand(decGenerateContras))
        RunChange([&] { PageEditor->GenerateContras(); });
}
