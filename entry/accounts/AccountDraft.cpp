#include "entry/accounts/AccountDraft.h"

#include "core/accounts/AccountFormat.h"
#include "core/accounts/AccountGroup.h"
#include "core/charts/AccountDetail.h"
#include "core/charts/AccountsChart.h"
#include "core/settings/ProgramParams.h"

TAccountDraft::TAccountDraft(TAccountsChart& chart) : Chart(chart) {}

bool TAccountDraft::ParseCode(TAccountCode& code) const {
    code = TAccountCode::Empty();
    const TAccountFormat* format = Chart.Format();
    const QString text = CodeText.trimmed();
    if (!format || text.isEmpty())
        return false;
    // A code without an account number (a branch alone) is no account, and an account has
    // every part of the format: "1180" alone would stand beside 00-1180-00.
    return format->TextToCode(text, code, false, false) && code.Account != -1 && format->HasEveryPart(code);
}

QStringList TAccountDraft::AllowedTypes() const {
    TAccountCode code;
    if (!ParseCode(code))
        return {AccountTypeCode::Ordinary, AccountTypeCode::Bank};
    // The account's own range tests, on an account that is never filed.
    TAccountDetail probe(Chart.Format(), 0.0);
    probe.SetCode(code);
    if (probe.InSuspenseRange())
        return {AccountTypeCode::Suspense};
    if (probe.InBalanceSheetRange())
        return {AccountTypeCode::Ordinary, AccountTypeCode::Bank};
    return {AccountTypeCode::Ordinary};
}

QString TAccountDraft::DefaultType() const {
    return AllowedTypes().constFirst();
}

QString TAccountDraft::EffectiveType() const {
    const QStringList allowed = AllowedTypes();
    return allowed.contains(AccountType) ? AccountType : allowed.constFirst();
}

QString TAccountDraft::TypeDescription(const QString& type) {
    const TAccountType* row = HasProgramParams() ? ProgramParams().AccountTypes.Find(type) : nullptr;
    return row ? row->Description : type;
}

QString TAccountDraft::AllowedRangeText() const {
    const TAccountFormat* format = Chart.Format();
    const TAccountGroup* all = format ? format->AllRange() : nullptr;
    if (!all)
        return {};
    return QStringLiteral("%1 to %2")
        .arg(format->FormatCode(all->FromCode()), format->FormatCode(all->ToCode()));
}

TAccountDraft::TFault TAccountDraft::Check(QString& message) const {
    message.clear();
    const QString text = CodeText.trimmed();
    if (text.isEmpty()) {
        message = BlankCodeMessage;
        return BlankCode;
    }
    TAccountCode code;
    if (!ParseCode(code)) {
        message = InvalidCodeMessage.arg(text);
        const QString range = AllowedRangeText();
        if (!range.isEmpty())
            message += RangeMessage.arg(range);
        return InvalidCode;
    }
    if (Chart.IndexOfCode(code) >= 0) {
        message = DuplicateCodeMessage.arg(Chart.Format()->FormatCode(code));
        return DuplicateCode;
    }
    if (Description.trimmed().isEmpty()) {
        message = BlankDescriptionMessage;
        return BlankDescription;
    }
    return None;
}

std::unique_ptr<TAccountDetail> TAccountDraft::Build() const {
    QString message;
    TAccountCode code;
    if (Check(message) != None || !ParseCode(code))
        return nullptr;
    auto account = std::make_unique<TAccountDetail>(Chart.Format());
    account->SetCode(code);
    account->Code2 = code;
    account->Description = Description.trimmed();
    account->DeriveAccountType(EffectiveType());
    if (account->BankDetails) {
        TBankDetails& bank = *account->BankDetails;
        bank.BankName = BankName.trimmed();
        bank.BSBNumber = BSBNumber.trimmed();
        bank.AccountNumber = AccountNumber.trimmed();
        bank.AccountName = AccountName.trimmed();
        // A bank account keeps the file's own currency until the user names another.
        bank.CurrencyCode = Chart.Entity.Currency;
    }
    return account;
}

int TAccountDraft::Add(QString& message) const {
    if (Check(message) != None)
        return -1;
    const int index = Chart.AddAccount(Build());
    if (index < 0) {
        message = DuplicateCodeMessage.arg(CodeText.trimmed());
        return -1;
    }
    Chart.Saved = false;
    const TAccountDetail& added = *Chart.GetAccount(index);
    Chart.AddBranchDescription(added);
    Chart.AddDivisionDescription(added);
    return index;
}
