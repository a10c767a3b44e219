#include "entry/accounts/AddEditAccount.h"

#include "controls/util/ControlHelpers.h"
#include "controls/util/SlotGuard.h"
#include "core/charts/AccountsChart.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"
#include "entry/accounts/AccountDraft.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QLineEdit* NewEdit(QWidget* parent, const QString& name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

QLabel* AddRow(QFormLayout* form, const QString& caption, QWidget* control) {
    auto* label = new QLabel(caption, form->parentWidget());
    label->setBuddy(control);
    form->addRow(label, control);
    return label;
}

} // namespace

TfmAddEditAccount::TfmAddEditAccount(TAccountsChart& chart, QWidget* parent)
    : QDialog(parent), Chart(chart), Draft(std::make_unique<TAccountDraft>(chart)) {
    setWindowTitle(Caption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* account = new QWidget(this);
    auto* form = new QFormLayout(account);
    form->setContentsMargins(0, 0, 0, 0);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    edtAccountCode = NewEdit(account, QStringLiteral("edtAccountCode"));
    lblAccountCode = AddRow(form, QStringLiteral("Account &Code :"), edtAccountCode);
    lblCodeRange = new QLabel(account);
    lblCodeRange->setObjectName(QStringLiteral("lblCodeRange"));
    const QString range = Draft->AllowedRangeText();
    lblCodeRange->setText(range.isEmpty() ? QString() : QStringLiteral("(%1)").arg(range));
    form->addRow(QString(), lblCodeRange);
    edtDescription = NewEdit(account, QStringLiteral("edtDescription"));
    lblDescription = AddRow(form, QStringLiteral("&Description :"), edtDescription);
    cboAccountType = new QComboBox(account);
    cboAccountType->setObjectName(QStringLiteral("cboAccountType"));
    lblAccountType = AddRow(form, QStringLiteral("Account &Type :"), cboAccountType);

    grbBankDetails = new QGroupBox(QStringLiteral("Bank Details"), this);
    grbBankDetails->setObjectName(QStringLiteral("grbBankDetails"));
    auto* bankForm = new QFormLayout(grbBankDetails);
    bankForm->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    cboBankName = new QComboBox(grbBankDetails);
    cboBankName->setObjectName(QStringLiteral("cboBankName"));
    cboBankName->setEditable(true);
    if (HasProgramParams()) {
        const TProgramParams& params = ProgramParams();
        for (int i = 0; i < params.Banks.Count(); ++i)
            cboBankName->addItem(params.Banks.Row(i)->Name);
    }
    cboBankName->setCurrentIndex(-1);
    AddRow(bankForm, QStringLiteral("&Bank :"), cboBankName);
    edtBSBNumber = NewEdit(grbBankDetails, QStringLiteral("edtBSBNumber"));
    AddRow(bankForm, QStringLiteral("B&SB Number :"), edtBSBNumber);
    edtAccountNumber = NewEdit(grbBankDetails, QStringLiteral("edtAccountNumber"));
    AddRow(bankForm, QStringLiteral("Account &Number :"), edtAccountNumber);
    edtAccountName = NewEdit(grbBankDetails, QStringLiteral("edtAccountName"));
    AddRow(bankForm, QStringLiteral("Account N&ame :"), edtAccountName);

    const TDialogButtons buttons = MakeOKCancelHelp(this);
    btnOK = buttons.OK;
    btnCancel = buttons.Cancel;
    btnHelp = buttons.Help;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(account);
    layout->addWidget(grbBankDetails);
    layout->addStretch(1);
    layout->addWidget(buttons.Box);

    ConnectOKCancelHelp(this, buttons, HelpContext);
    connect(edtAccountCode, &QLineEdit::textChanged, this,
            [this] { GuardSlot([this] { edtAccountCodeChange(); }); });
    connect(cboAccountType, &QComboBox::currentIndexChanged, this,
            [this] { GuardSlot([this] { cboAccountTypeChange(); }); });

    FillTypes();
    setMinimumWidth(400);
}

TfmAddEditAccount::~TfmAddEditAccount() = default;

bool TfmAddEditAccount::AddAccount(TAccountsChart& chart, const QString& codeText, int& index) {
    index = -1;
    if (!chart.Format())
        return false;
    // Over the window that asked; the pointer lets go should that window take this one with it.
    QPointer<TfmAddEditAccount> form = new TfmAddEditAccount(chart, QApplication::activeWindow());
    const auto release = qScopeGuard([&form] { delete form.data(); });
    form->SetCodeText(codeText);
    if (form->exec() != QDialog::Accepted || !form)
        return false;
    index = form->AddedIndex();
    return index >= 0;
}

void TfmAddEditAccount::SetCodeText(const QString& codeText) {
    edtAccountCode->setText(codeText.trimmed());
    // The code is what data entry typed: the description is what the user adds.
    edtDescription->setFocus();
}

void TfmAddEditAccount::accept() {
    GuardSlot([this] { btnOKClick(); });
}

void TfmAddEditAccount::edtAccountCodeChange() {
    FillTypes();
}

void TfmAddEditAccount::cboAccountTypeChange() {
    if (!Filling)
        UpdateBankDetails();
}

void TfmAddEditAccount::ReadFields() {
    Draft->CodeText = edtAccountCode->text();
    Draft->Description = edtDescription->text();
    Draft->AccountType = cboAccountType->currentData().toString();
    Draft->BankName = cboBankName->currentText();
    Draft->BSBNumber = edtBSBNumber->text();
    Draft->AccountNumber = edtAccountNumber->text();
    Draft->AccountName = edtAccountName->text();
}

void TfmAddEditAccount::FillTypes() {
    {
        const QScopedValueRollback<bool> filling(Filling, true);
        ReadFields();
        const QString chosen = Draft->EffectiveType();
        cboAccountType->clear();
        for (const QString& type : Draft->AllowedTypes())
            cboAccountType->addItem(TAccountDraft::TypeDescription(type), type);
        cboAccountType->setCurrentIndex(std::max(cboAccountType->findData(chosen), 0));
        cboAccountType->setEnabled(cboAccountType->count() > 1);
        SetControlColour(cboAccountType, cboAccountType->isEnabled());
    }
    UpdateBankDetails();
}

void TfmAddEditAccount::UpdateBankDetails() {
    const bool bank = cboAccountType->currentData().toString() == AccountTypeCode::Bank;
    grbBankDetails->setEnabled(bank);
    SetControlsColour(grbBankDetails, bank);
}

void TfmAddEditAccount::btnOKClick() {
    ReadFields();
    QString message;
    const TAccountDraft::TFault fault = Draft->Check(message);
    if (fault == TAccountDraft::None)
        Added = Draft->Add(message);
    if (fault != TAccountDraft::None || Added < 0) {
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error, message, TMessageButton::OK);
        QLineEdit* at = fault == TAccountDraft::BlankDescription ? edtDescription : edtAccountCode;
        at->setFocus();
        at->selectAll();
        return;
    }
    QDialog::accept();
}

void InstallAddAccountOffer() {
    TServices::SetAddAccountOffer(&TfmAddEditAccount::AddAccount);
}
