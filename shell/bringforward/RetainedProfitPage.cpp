#include "shell/bringforward/RetainedProfitPage.h"

#include "controls/numeric/NumberEdit.h"
#include "controls/numeric/NumberEditRules.h"
#include "controls/util/SlotGuard.h"
#include "core/charts/AccountsChart.h"
#include "core/entity/DesktopFiles.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/services/Services.h"
#include "entry/masterdetails/MasterDetails.h"
#include "shell/bringforward/ProfitDistribution.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int AccountsChartKind = 1;
constexpr int RowHeight = 18;
const int ColumnWidths[] = {90, 220, 110};
constexpr int PercentageDecimals = 2;

// A button that shows and triggers an action and follows its enabled state.
QPushButton* ActionButton(QAction* action, const QString& name, QWidget* parent) {
    auto* button = new QPushButton(action->text(), parent);
    button->setObjectName(name);
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::changed, button,
                     [button, action] { button->setEnabled(action->isEnabled()); });
    return button;
}

QAction* NewAction(const QString& text, const QString& name, QObject* parent) {
    auto* action = new QAction(text, parent);
    action->setObjectName(name);
    return action;
}

} // namespace

TRetainedProfitPage::TRetainedProfitPage(QWidget* parent) : QWidget(parent) {
    auto* pageLayout = new QVBoxLayout(this);
    grbRetainedProfitDistribution = new QGroupBox(QStringLiteral("Retained Profit Distribution"), this);
    grbRetainedProfitDistribution->setObjectName(QStringLiteral("grbRetainedProfitDistribution"));
    pageLayout->addWidget(grbRetainedProfitDistribution);
    auto* layout = new QVBoxLayout(grbRetainedProfitDistribution);

    grdProfitDistribution = new QTableWidget(grbRetainedProfitDistribution);
    grdProfitDistribution->setObjectName(QStringLiteral("grdProfitDistribution"));
    grdProfitDistribution->setColumnCount(static_cast<int>(ColumnTitles.size()));
    grdProfitDistribution->setHorizontalHeaderLabels(ColumnTitles);
    for (int column = 0; column < ColumnTitles.size(); ++column)
        grdProfitDistribution->setColumnWidth(column, ColumnWidths[column]);
    grdProfitDistribution->horizontalHeader()->setStretchLastSection(true);
    grdProfitDistribution->verticalHeader()->hide();
    grdProfitDistribution->verticalHeader()->setDefaultSectionSize(RowHeight);
    grdProfitDistribution->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdProfitDistribution->setSelectionMode(QAbstractItemView::SingleSelection);
    grdProfitDistribution->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdProfitDistribution->setWordWrap(false);
    grdProfitDistribution->setTextElideMode(Qt::ElideRight);
    layout->addWidget(grdProfitDistribution, 1);

    auto* editors = new QGridLayout();
    lblAccount = new QLabel(QStringLiteral("Account:"), grbRetainedProfitDistribution);
    lblAccount->setObjectName(QStringLiteral("lblAccount"));
    edtRetainedProfitAccount = new QLineEdit(grbRetainedProfitDistribution);
    edtRetainedProfitAccount->setObjectName(QStringLiteral("edtRetainedProfitAccount"));
    lblAccount->setBuddy(edtRetainedProfitAccount);
    spbPOAccount = new QToolButton(grbRetainedProfitDistribution);
    spbPOAccount->setObjectName(QStringLiteral("spbPOAccount"));
    spbPOAccount->setText(QStringLiteral("..."));
    spbPOAccount->setFocusPolicy(Qt::NoFocus);
    lblPercentage = new QLabel(QStringLiteral("Percentage:"), grbRetainedProfitDistribution);
    lblPercentage->setObjectName(QStringLiteral("lblPercentage"));
    edtRetainedProfitPercentage = new TNumberEdit(grbRetainedProfitDistribution);
    edtRetainedProfitPercentage->setObjectName(QStringLiteral("edtRetainedProfitPercentage"));
    edtRetainedProfitPercentage->SetNumberType(TNumberType::ntPercentage);
    edtRetainedProfitPercentage->SetNumberOfDecimals(PercentageDecimals);
    edtRetainedProfitPercentage->SetNegativesAllowed(false);
    edtRetainedProfitPercentage->setAlignment(Qt::AlignRight);
    edtRetainedProfitPercentage->setText(QStringLiteral("100"));
    lblPercentage->setBuddy(edtRetainedProfitPercentage);
    lblTotalPercentage = new QLabel(QStringLiteral("Total:"), grbRetainedProfitDistribution);
    lblTotalPercentage->setObjectName(QStringLiteral("lblTotalPercentage"));
    lblTotalPercentageTxt = new QLabel(grbRetainedProfitDistribution);
    lblTotalPercentageTxt->setObjectName(QStringLiteral("lblTotalPercentageTxt"));
    editors->addWidget(lblAccount, 0, 0);
    editors->addWidget(edtRetainedProfitAccount, 0, 1);
    editors->addWidget(spbPOAccount, 0, 2);
    editors->addWidget(lblPercentage, 1, 0);
    editors->addWidget(edtRetainedProfitPercentage, 1, 1);
    editors->addWidget(lblTotalPercentage, 2, 0);
    editors->addWidget(lblTotalPercentageTxt, 2, 1);
    editors->setColumnStretch(3, 1);
    layout->addLayout(editors);

    actProfitDistAdd = NewAction(QStringLiteral("&Add"), QStringLiteral("actProfitDistAdd"), this);
    actProfitDistDelete = NewAction(QStringLiteral("&Delete"), QStringLiteral("actProfitDistDelete"), this);
    actProfitDistReset = NewAction(QStringLiteral("&Reset"), QStringLiteral("actProfitDistReset"), this);
    auto* buttons = new QHBoxLayout();
    btnAdd = ActionButton(actProfitDistAdd, QStringLiteral("btnAdd"), grbRetainedProfitDistribution);
    btnDelete = ActionButton(actProfitDistDelete, QStringLiteral("btnDelete"), grbRetainedProfitDistribution);
    btnResetRetainedProfits = ActionButton(actProfitDistReset, QStringLiteral("btnResetRetainedProfits"),
                                           grbRetainedProfitDistribution);
    buttons->addStretch();
    buttons->addWidget(btnAdd);
    buttons->addWidget(btnDelete);
    buttons->addWidget(btnResetRetainedProfits);
    layout->addLayout(buttons);

    connect(actProfitDistAdd, &QAction::triggered, this, [this] { GuardSlot([this] { ProfitDistAdd(); }); });
    connect(actProfitDistDelete, &QAction::triggered, this,
            [this] { GuardSlot([this] { ProfitDistDelete(); }); });
    connect(actProfitDistReset, &QAction::triggered, this,
            [this] { GuardSlot([this] { ProfitDistReset(); }); });
    connect(spbPOAccount, &QToolButton::clicked, this, [this] { GuardSlot([this] { SelectAccount(); }); });
    connect(edtRetainedProfitAccount, &QLineEdit::editingFinished, this, [this] { StoreEditors(); });
    connect(edtRetainedProfitAccount, &QLineEdit::returnPressed, this, [this] {
        StoreEditors();
        edtRetainedProfitPercentage->setFocus();
        edtRetainedProfitPercentage->selectAll();
    });
    connect(edtRetainedProfitPercentage, &QLineEdit::returnPressed, this, [this] {
        StoreEditors();
        edtRetainedProfitAccount->setFocus();
        edtRetainedProfitAccount->selectAll();
    });
    connect(edtRetainedProfitPercentage, &TNumberEdit::Exited, this, [this] { StoreEditors(); });
    connect(grdProfitDistribution, &QTableWidget::currentCellChanged, this,
            [this](int row) { GridCurrentChanged(row); });
    UpdateActions();
}

void TRetainedProfitPage::Setup(TDesktopFiles& files, int activeIndex, TProfitDistribution& distribution,
                                TAccountsChart* sourceChart) {
    Files = &files;
    ActiveIndex = activeIndex;
    Distribution = &distribution;
    Chart = sourceChart;
    if (!Chart) {
        const TEntityInfo* file = files.File(activeIndex);
        if (file && !file->IsClosed())
            Chart = file->AccountsChart(file->EntityDetail().Year);
    }
    RebuildGrid();
    UpdateTotal();
}

TEntityDetail* TRetainedProfitPage::Detail() const {
    const TEntityInfo* file = Files ? Files->File(ActiveIndex) : nullptr;
    return file && !file->IsClosed() ? &file->EntityDetail() : nullptr;
}

QString TRetainedProfitPage::CanonicalPercentage() const {
    TNumberEditRules rules;
    rules.NumberType = edtRetainedProfitPercentage->NumberType();
    rules.NumberOfDecimals = static_cast<std::uint16_t>(edtRetainedProfitPercentage->NumberOfDecimals());
    rules.NegativesAllowed = edtRetainedProfitPercentage->NegativesAllowed();
    rules.DefaultToZero = edtRetainedProfitPercentage->DefaultToZero();
    return rules.ExitText(edtRetainedProfitPercentage->text());
}

void TRetainedProfitPage::StoreEditors() {
    if (!Distribution || Current < 0 || Current >= Distribution->Count())
        return;
    const QString percentage = CanonicalPercentage();
    if (percentage != edtRetainedProfitPercentage->text())
        edtRetainedProfitPercentage->setText(percentage);
    Distribution->SetAccount(Current, edtRetainedProfitAccount->text().trimmed());
    Distribution->SetPercentage(Current, percentage);
    DrawRow(Current);
    UpdateTotal();
}

void TRetainedProfitPage::SetCurrentEntry(int index) {
    if (!Distribution || index < 0 || index >= Distribution->Count())
        return;
    Current = index;
    {
        const QSignalBlocker blocker(grdProfitDistribution);
        Filling = true;
        grdProfitDistribution->setCurrentCell(index, 0);
        grdProfitDistribution->selectRow(index);
        Filling = false;
    }
    grdProfitDistribution->scrollToItem(grdProfitDistribution->item(index, 0));
    LoadEditors();
}

void TRetainedProfitPage::GridCurrentChanged(int row) {
    if (Filling || !Distribution || row < 0 || row >= Distribution->Count() || row == Current)
        return;
    StoreEditors();
    Current = row;
    LoadEditors();
}

void TRetainedProfitPage::RebuildGrid() {
    {
        const QSignalBlocker blocker(grdProfitDistribution);
        Filling = true;
        grdProfitDistribution->clearContents();
        grdProfitDistribution->setRowCount(Distribution ? Distribution->Count() : 0);
        grdProfitDistribution->setHorizontalHeaderLabels(ColumnTitles);
        Filling = false;
    }
    const int count = Distribution ? Distribution->Count() : 0;
    for (int index = 0; index < count; ++index)
        DrawRow(index);
    Current = 0;
    if (count > 0)
        SetCurrentEntry(0);
    UpdateActions();
}

void TRetainedProfitPage::DrawRow(int index) {
    if (!Distribution || index < 0 || index >= Distribution->Count())
        return;
    const TDistributionEntry& entry = Distribution->Entries()[index];
    const QString cells[] = {TProfitDistribution::AccountText(Chart, entry.Account),
                             TProfitDistribution::AccountDescription(Chart, entry.Account), entry.Percentage};
    const QSignalBlocker blocker(grdProfitDistribution);
    for (int column = 0; column < 3; ++column) {
        QTableWidgetItem* item = grdProfitDistribution->item(index, column);
        if (!item) {
            item = new QTableWidgetItem();
            grdProfitDistribution->setItem(index, column, item);
        }
        item->setText(cells[column]);
        item->setTextAlignment(column == 2 ? Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter)
                                           : Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    }
}

void TRetainedProfitPage::LoadEditors() {
    if (!Distribution || Current < 0 || Current >= Distribution->Count())
        return;
    const TDistributionEntry& entry = Distribution->Entries()[Current];
    edtRetainedProfitAccount->setText(entry.Account);
    edtRetainedProfitPercentage->setText(entry.Percentage);
}

void TRetainedProfitPage::UpdateTotal() {
    lblTotalPercentageTxt->setText(Distribution ? Distribution->TotalCaption() : QString());
}

void TRetainedProfitPage::UpdateActions() {
    const bool canAdd = Distribution && Chart && Detail();
    actProfitDistAdd->setEnabled(canAdd);
    actProfitDistReset->setEnabled(canAdd);
    actProfitDistDelete->setEnabled(Distribution && Distribution->CanDelete());
    spbPOAccount->setEnabled(Distribution && Detail());
}

void TRetainedProfitPage::ProfitDistAdd() {
    TEntityDetail* detail = Detail();
    if (!Distribution || !Chart || !detail)
        return;
    StoreEditors();
    Distribution->AddDefault(*detail, *Chart);
    const int added = Distribution->Count() - 1;
    grdProfitDistribution->setRowCount(Distribution->Count());
    DrawRow(added);
    UpdateTotal();
    UpdateActions();
    SetCurrentEntry(added);
}

void TRetainedProfitPage::ProfitDistDelete() {
    if (!Distribution || !Distribution->CanDelete())
        return;
    if (MessageBeepAndShow(TServices::Prompt(), TMessageKind::Question, TProfitDistribution::DeleteQuestion,
                           TMessageButton::OK | TMessageButton::Cancel) != TMessageButton::OK)
        return;
    const int next = Distribution->Delete(Current);
    RebuildGrid();
    UpdateTotal();
    SetCurrentEntry(next);
}

void TRetainedProfitPage::ProfitDistReset() {
    TEntityDetail* detail = Detail();
    if (!Distribution || !Chart || !detail)
        return;
    if (MessageBeepAndShow(TServices::Prompt(), TMessageKind::Question, TProfitDistribution::ResetQuestion,
                           TMessageButton::OK | TMessageButton::Cancel) != TMessageButton::OK)
        return;
    Distribution->Reset(*detail, *Chart);
    RebuildGrid();
    UpdateTotal();
}

void TRetainedProfitPage::SelectAccount() {
    if (!Files || !Distribution)
        return;
    QString selection;
    if (!TfmMasterDetails::Select(AccountsChartKind, *Files, ActiveIndex, edtRetainedProfitAccount->text(),
                                  false, selection, this))
        return;
    edtRetainedProfitAccount->setText(selection);
    StoreEditors();
    edtRetainedProfitAccount->setFocus();
    edtRetainedProfitAccount->selectAll();
}

bool TRetainedProfitPage::Validate() {
    StoreEditors();
    if (Distribution && Distribution->CheckTotal())
        return true;
    IUserPrompt& prompt = TServices::Prompt();
    prompt.Beep(TBeep::Warning);
    prompt.ShowMessage(TMessageKind::Error, TProfitDistribution::TotalText, TMessageButton::OK);
    grdProfitDistribution->setFocus();
    return false;
}
