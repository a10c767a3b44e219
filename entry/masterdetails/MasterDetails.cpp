#include "entry/masterdetails/MasterDetails.h"

#include "controls/placement/FormPlacement.h"
#include "controls/util/ControlHelpers.h"
#include "controls/util/SlotGuard.h"
#include "core/charts/MasterChart.h"
#include "core/common/Exceptions.h"
#include "core/entity/DesktopFiles.h"
#include "core/services/Services.h"
#include "core/vocab/FileVocabulary.h"
#include "entry/masterdetails/MasterChartModel.h"
#include "entry/masterdetails/MasterDetailsKind.h"
#include "entry/masterdetails/MasterSelection.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace {

// A small picture per chart kind: the kind's initial on the program's green.
QIcon ChartIcon(int chartKind) {
    static constexpr char16_t Initials[] = u"BASTC";
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0x2E, 0x6B, 0x3F));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(1, 1, 30, 30), 5, 5);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(20);
    painter.setFont(font);
    painter.setPen(Qt::white);
    const QChar initial = chartKind >= 0 && chartKind < 5 ? QChar(Initials[chartKind]) : QChar(u'?');
    painter.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, QString(initial));
    painter.end();
    return QIcon(picture);
}

void SetClipboardData(std::unique_ptr<QMimeData> content) {
    QGuiApplication::clipboard()->setMimeData(content.release());
}

} // namespace

TfmMasterDetails::TfmMasterDetails(QWidget* parent)
    : QWidget(parent), ChartModel(new TMasterChartModel(this)), grdDetails(new QTableView(this)) {
    setObjectName(FormName);
    setMinimumSize(240, 120);
    // Inside a dialog the dialog is the window that is placed.
    auto* dialog = qobject_cast<QDialog*>(parent);
    FormPlacement = new TFormPlacement(dialog ? static_cast<QWidget*>(dialog) : this);
    FormPlacement->SetActive(false);
    FormPlacement->SetIniFileName(QStringLiteral("Quilvane.ini"));
    FormPlacement->SetOptions(TPlacementOption::Position);
    // Only a window of the desktop takes its state back; a dialog always opens normal.
    FormPlacement->KeepWindowState();

    grdDetails->setObjectName(QStringLiteral("grdDetails"));
    grdDetails->setModel(ChartModel);
    grdDetails->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdDetails->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdDetails->setTabKeyNavigation(false);
    grdDetails->verticalHeader()->hide();
    grdDetails->horizontalHeader()->setStretchLastSection(true);
    grdDetails->installEventFilter(this);
    connect(grdDetails, &QTableView::doubleClicked, this, [this] {
        if (SelectMode)
            AcceptSelection();
    });
    connect(grdDetails->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { UpdateButtons(); });
    connect(ChartModel, &QAbstractItemModel::modelReset, this, [this] { UpdateButtons(); });

    const TDialogButtons buttons = MakeOKCancelHelp(this);
    ButtonBox = buttons.Box;
    btnOK = buttons.OK;
    connect(buttons.OK, &QPushButton::clicked, this, [this] { AcceptSelection(); });
    connect(buttons.Cancel, &QPushButton::clicked, this, [this] { emit SelectionCancelled(); });
    connect(buttons.Help, &QPushButton::clicked, this,
            [this] { GuardSlot([this] { TServices::Help().ShowContext(HelpContext()); }); });
    ButtonBox->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grdDetails);
    layout->addWidget(ButtonBox);
}

TfmMasterDetails::~TfmMasterDetails() = default;

void TfmMasterDetails::Setup(int chartKind, TDesktopFiles& desktopFiles, const QString& preselectedText,
                             bool multiSelect, bool selectMode, int activeIndex) {
    TMasterDetailsKind::CheckKind(chartKind);
    ChartKind = chartKind;
    Files = &desktopFiles;
    PreselectedText = preselectedText;
    SelectMode = selectMode;
    // On the desktop the Edit commands work on several items at once.
    MultiSelect = multiSelect || !selectMode;
    setProperty(WindowKindProperty, TMasterDetailsKind::WindowKind(chartKind));
    FormPlacement->SetIniSection(TMasterDetailsKind::WindowName(chartKind));
    setWindowIcon(ChartIcon(chartKind));
    if (auto* dialog = qobject_cast<QDialog*>(parentWidget()))
        dialog->setWindowIcon(windowIcon());
    grdDetails->setSelectionMode(MultiSelect ? QAbstractItemView::ExtendedSelection
                                             : QAbstractItemView::SingleSelection);
    ButtonBox->setVisible(SelectMode);
    ChartModel->SetChartSource(chartKind, [this] {
        return TMasterDetailsKind::ChartOf(Files ? Files->File(ActiveIndex) : nullptr, ChartKind);
    });
    ActiveFileChanged(activeIndex);
}

void TfmMasterDetails::ActiveFileChanged(int activeIndex) {
    ActiveIndex = activeIndex;
    const QString caption =
        TMasterDetailsKind::Caption(ChartKind, Files ? Files->File(ActiveIndex) : nullptr);
    setWindowTitle(caption);
    if (auto* dialog = qobject_cast<QDialog*>(parentWidget()))
        dialog->setWindowTitle(caption);
    ChartModel->Refresh();
    grdDetails->resizeColumnsToContents();
    const TMasterChart* chart = Chart();
    if (!chart || PreselectedText.isEmpty())
        return;
    QList<int> indexes = TMasterSelection::IndexesOfText(*chart, PreselectedText);
    if (!MultiSelect && indexes.size() > 1)
        indexes = indexes.mid(0, 1);
    SelectIndexes(indexes);
}

TMasterChart* TfmMasterDetails::Chart() const {
    return ChartModel->Chart();
}

int TfmMasterDetails::HelpContext() const {
    return TMasterDetailsKind::HelpContext(ChartKind);
}

QList<int> TfmMasterDetails::SelectedIndexes() const {
    QList<int> indexes;
    for (const QModelIndex& index : grdDetails->selectionModel()->selectedRows())
        indexes << index.row();
    std::sort(indexes.begin(), indexes.end());
    return indexes;
}

void TfmMasterDetails::SelectIndexes(const QList<int>& indexes) {
    QItemSelectionModel* selection = grdDetails->selectionModel();
    const int lastColumn = ChartModel->columnCount() - 1;
    QItemSelection rows;
    for (const int row : indexes)
        if (row >= 0 && row < ChartModel->rowCount())
            rows.select(ChartModel->index(row, 0), ChartModel->index(row, lastColumn));
    selection->select(rows, QItemSelectionModel::ClearAndSelect);
    if (!rows.isEmpty()) {
        const QModelIndex first = rows.first().topLeft();
        selection->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
        grdDetails->scrollTo(first);
    }
}

QString TfmMasterDetails::GetSelectionText() const {
    const TMasterChart* chart = Chart();
    return chart ? TMasterSelection::SelectionText(*chart, SelectedIndexes()) : QString();
}

bool TfmMasterDetails::ClipboardHasData(bool showMessage) const {
    const QMimeData* content = QGuiApplication::clipboard()->mimeData();
    const bool held = content && TMasterSelection::HoldsChartData(*content, ChartKind);
    if (!held && showMessage)
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Information,
                           TMasterSelection::NoDataText(ChartKind), TMessageButton::OK | TMessageButton::Help,
                           HelpContext());
    return held;
}

bool TfmMasterDetails::HasItems() const {
    const TMasterChart* chart = Chart();
    return chart && chart->Count() > 0;
}

void TfmMasterDetails::CopyToClipboard() {
    GuardSlot([this] {
        const TMasterChart* chart = Chart();
        const QList<int> indexes = SelectedIndexes();
        if (chart && !indexes.isEmpty())
            SetClipboardData(TMasterSelection::BuildClipboardData(*chart, indexes));
    });
}

void TfmMasterDetails::CutToClipboard() {
    GuardSlot([this] {
        TMasterChart* chart = Chart();
        const QList<int> indexes = SelectedIndexes();
        if (SelectMode || !chart || indexes.isEmpty())
            return;
        if (MessageBeepAndShow(TServices::Prompt(), TMessageKind::Question,
                               TMasterSelection::DeleteQuestion(ChartKind, static_cast<int>(indexes.size())),
                               TMessageButton::Yes | TMessageButton::No) != TMessageButton::Yes ||
            Chart() != chart)
            return;
        SetClipboardData(TMasterSelection::BuildClipboardData(*chart, indexes));
        TMasterSelection::DeleteItems(*chart, indexes);
        ChartModel->Refresh();
        if (chart->Count() > 0)
            SelectIndexes({std::min(indexes.first(), chart->Count() - 1)});
    });
}

void TfmMasterDetails::PasteFromClipboard() {
    GuardSlot([this] {
        TMasterChart* chart = Chart();
        if (SelectMode || !chart || !ClipboardHasData(true))
            return;
        const TMasterSelection::TPasteResult result =
            TMasterSelection::Paste(*chart, *QGuiApplication::clipboard()->mimeData());
        if (!result.Error.isEmpty()) {
            MessageBeepAndShow(TServices::Prompt(), TMessageKind::Warning, result.Error, TMessageButton::OK);
            return;
        }
        ChartModel->Refresh();
        QList<int> added;
        for (const QString& key : result.AddedKeys)
            added << chart->IndexOf(key);
        SelectIndexes(added);
        const QString report = TMasterSelection::PasteReport(ChartKind, result);
        if (!report.isEmpty())
            MessageBeepAndShow(TServices::Prompt(), TMessageKind::Information, report,
                               TMessageButton::OK | TMessageButton::Help, HelpContext());
    });
}

void TfmMasterDetails::SelectAll() {
    if (MultiSelect)
        grdDetails->selectAll();
}

void TfmMasterDetails::AcceptSelection() {
    if (SelectMode && !SelectedIndexes().isEmpty())
        emit SelectionAccepted();
}

void TfmMasterDetails::UpdateButtons() {
    btnOK->setEnabled(grdDetails->selectionModel()->hasSelection());
}

bool TfmMasterDetails::RunEditKey(const QKeyEvent& event) {
    if (event.matches(QKeySequence::Copy))
        CopyToClipboard();
    else if (event.matches(QKeySequence::Cut))
        CutToClipboard();
    else if (event.matches(QKeySequence::Paste))
        PasteFromClipboard();
    else if (event.matches(QKeySequence::SelectAll))
        SelectAll();
    else
        return false;
    return true;
}

bool TfmMasterDetails::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grdDetails) {
        // The grid's own copy (of one cell) gives way to the window's commands.
        if (event->type() == QEvent::ShortcutOverride) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut) ||
                key->matches(QKeySequence::Paste) || key->matches(QKeySequence::SelectAll)) {
                event->accept();
                return true;
            }
        } else if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (RunEditKey(*key))
                return true;
            if (SelectMode && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
                AcceptSelection();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TfmMasterDetails::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        GuardSlot([this] { TServices::Help().ShowContext(HelpContext()); });
        return;
    }
    QWidget::keyPressEvent(event);
}

void TfmMasterDetails::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Only once the window is in its frame does its position mean anything there.
    if (!FormPlacement->Restored())
        FormPlacement->RestoreFormPlacementQuietly();
}

void TfmMasterDetails::closeEvent(QCloseEvent* event) {
    // A placement that cannot be written never keeps the window open.
    FormPlacement->SaveFormPlacementQuietly();
    QWidget::closeEvent(event);
}

QDialog* TfmMasterDetails::CreateDialog(int chartKind, TDesktopFiles& desktopFiles, int activeIndex,
                                        const QString& preselected, bool multiSelect, bool selectMode,
                                        QWidget* parent) {
    auto dialog = std::make_unique<QDialog>(parent);
    dialog->setObjectName(QStringLiteral("dlgMasterDetails"));
    auto* form = new TfmMasterDetails(dialog.get());
    auto* layout = new QVBoxLayout(dialog.get());
    layout->addWidget(form);
    if (!selectMode) {
        auto* close = new QDialogButtonBox(QDialogButtonBox::Close, dialog.get());
        connect(close, &QDialogButtonBox::rejected, dialog.get(), &QDialog::reject);
        layout->addWidget(close);
    }
    connect(form, &TfmMasterDetails::SelectionAccepted, dialog.get(), &QDialog::accept);
    connect(form, &TfmMasterDetails::SelectionCancelled, dialog.get(), &QDialog::reject);
    connect(dialog.get(), &QDialog::finished, form, [form] { form->Placement().SaveFormPlacementQuietly(); });
    form->Setup(chartKind, desktopFiles, preselected, multiSelect, selectMode, activeIndex);
    dialog->setProperty(WindowKindProperty, TMasterDetailsKind::WindowKind(chartKind));
    return dialog.release();
}

bool TfmMasterDetails::Select(int chartKind, TDesktopFiles& desktopFiles, int activeIndex,
                              const QString& preselected, bool multiSelect, QString& selection,
                              QWidget* parent) {
    const std::unique_ptr<QDialog> dialog(
        CreateDialog(chartKind, desktopFiles, activeIndex, preselected, multiSelect, true, parent));
    auto* form = dialog->findChild<TfmMasterDetails*>();
    if (dialog->exec() != QDialog::Accepted)
        return false;
    selection = form->GetSelectionText();
    return true;
}
