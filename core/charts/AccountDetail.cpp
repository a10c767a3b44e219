#include "core/charts/AccountDetail.h"

#include "core/accounts/AccountCodeStream.h"
#include "core/accounts/AccountFormat.h"
#include "core/accounts/AccountGroup.h"
#include "core/charts/AccountsChart.h"
#include "core/charts/StdDescChart.h"
#include "core/dates/DateNumbers.h"
#include "core/io/StreamError.h"
#include "core/io/ValueReader.h"
#include "core/io/ValueWriter.h"
#include "core/io/Win1252Codec.h"
#include "core/settings/ProgramParams.h"

#include <algorithm>
#include <limits>

namespace {

// The program's account-type and currency tables; none before the settings are installed.
const TReferenceData* ReferenceTables() {
    return HasProgramParams() ? &ProgramParams() : nullptr;
}

// Whether the account-type list marks the type as non-posting (headings, totals, control
// accounts). Such accounts carry no transactions, so they may sit in the suspense range.
bool IsNonPostingType(const QString& type) {
    const TReferenceData* tables = ReferenceTables();
    return tables && tables->GetAccountTypeFlag(type);
}

QString TypeDescription(const QString& type) {
    const TReferenceData* tables = ReferenceTables();
    const TAccountType* row = tables ? tables->AccountTypes.Find(type) : nullptr;
    return row ? row->Description : type;
}

qint32 SaturatedBudget(qint64 value) {
    return static_cast<qint32>(
        std::clamp<qint64>(value, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

} // namespace

TAccountDetail::TAccountDetail(const TAccountFormat* format) : TAccountDetail(format, NowNum()) {}

TAccountDetail::TAccountDetail(const TAccountFormat* format, double dateAdded)
    : Format(format), DateAdded(dateAdded) {}

std::unique_ptr<TAccountDetail> TAccountDetail::CopyOf(const TAccountFormat* format,
                                                       const TAccountDetail& source, bool withBalances) {
    auto account = std::make_unique<TAccountDetail>(format, source.DateAdded);
    account->CopyFrom(source, withBalances);
    return account;
}

TAccountDetail::~TAccountDetail() = default;

QString TAccountDetail::GetKey() const {
    return Format ? Format->FormatCode(CodeValue) : QString();
}

bool TAccountDetail::SetKey(const QString& key) {
    TAccountCode code;
    if (!Format || !Format->TextToCode(key, code, false, false))
        return false;
    CodeValue = code;
    return true;
}

bool TAccountDetail::SetCode(const TAccountCode& code) {
    if (Owner)
        return false;
    CodeValue = code;
    return true;
}

bool TAccountDetail::CanBeControlAccount() const {
    return CodeValue.Branch == -1 && CodeValue.Division == -1 && CodeValue.SubAccount == -1;
}

// ---- Stored form ---------------------------------------------------------------------------

void TAccountDetail::WriteToStream(TValueWriter& writer) const {
    WriteAccountCode(writer, CodeValue);
    WriteAccountCode(writer, Code2);
    writer.WriteString(Description);
    writer.WriteListBegin();
    if (BankDetails) {
        writer.WriteString(BankDetails->AccountName);
        writer.WriteString(BankDetails->BankName);
        writer.WriteString(BankDetails->AccountNumber);
        writer.WriteString(BankDetails->BSBNumber);
        writer.WriteString(BankDetails->CurrencyCode);
        writer.WriteFloat(BankDetails->OverdraftInterestRate);
        writer.WriteFloat(BankDetails->OverdraftLimit);
        writer.WriteBoolean(BankDetails->IsDefault);
        writer.WriteBoolean(BankDetails->Flag2);
    }
    writer.WriteListEnd();
    writer.WriteString(AccountType);
    writer.WriteInteger(static_cast<unsigned char>(TWin1252Codec::EncodeChar(Sign)));
    writer.WriteFloat(DateAdded);
    writer.WriteBoolean(IsDefaultSuspense);
    writer.WriteBoolean(Flag2);
    for (qint32 budget : Budgets)
        writer.WriteInteger(budget);
}

void TAccountDetail::ReadFromStream(TValueReader& reader) {
    const TAccountCode code = ReadAccountCode(reader);
    if (!Owner)
        CodeValue = code;
    Code2 = ReadAccountCode(reader);
    Description = reader.ReadString();

    // The bank details go straight into a record of their own, whatever the type turns out to
    // be: the type rules below decide whether the account keeps them.
    std::unique_ptr<TBankDetails> details;
    reader.ReadListBegin();
    if (!reader.EndOfList()) {
        details = std::make_unique<TBankDetails>();
        details->AccountName = reader.ReadString();
        details->BankName = reader.ReadString();
        details->AccountNumber = reader.ReadString();
        details->BSBNumber = reader.ReadString();
        details->CurrencyCode = reader.ReadString();
        details->OverdraftInterestRate = reader.ReadFiniteFloat();
        details->OverdraftLimit = reader.ReadFiniteFloat();
        details->IsDefault = reader.ReadBoolean();
        details->Flag2 = reader.ReadBoolean();
    }
    reader.ReadListEnd();

    const QString type = reader.ReadString();
    const std::int32_t sign = reader.ReadInteger();
    if (sign < 0 || sign > 255)
        throw EStreamError::InvalidValue();
    Sign = TWin1252Codec::DecodeChar(static_cast<unsigned char>(sign));
    DateAdded = reader.ReadFiniteFloat();
    IsDefaultSuspense = reader.ReadBoolean();
    Flag2 = reader.ReadBoolean();
    std::array<qint32, BudgetSlots> budgets{};
    for (qint32& budget : budgets)
        budget = reader.ReadInteger();
    Budgets = budgets;

    // A stored type the rules do not allow here (a "SUS" account outside the suspense range)
    // leaves an ordinary account.
    BankDetails = std::move(details);
    AccountType = AccountTypeCode::Ordinary;
    DeriveAccountType(type);
}

void TAccountDetail::CopyFrom(const TAccountDetail& source, bool withBalances) {
    if (&source == this)
        return;
    if (!Owner)
        CodeValue = source.CodeValue;
    Code2 = source.Code2;
    Description = source.Description;
    AccountType = source.AccountType;
    Sign = source.Sign;
    if (source.BankDetails) {
        auto details = std::make_unique<TBankDetails>();
        details->Assign(*source.BankDetails);
        BankDetails = std::move(details);
    } else {
        BankDetails.reset();
    }
    DateAdded = source.DateAdded;
    Balance = source.Balance;
    Total = source.Total;
    Amount3 = source.Amount3;
    Quantity = source.Quantity;
    Used = source.Used;
    IsDefaultSuspense = source.IsDefaultSuspense;
    Flag2 = source.Flag2;
    Budgets = source.Budgets;
    if (withBalances) {
        PeriodAmounts.Assign(source.PeriodAmounts);
        ColumnValues.Assign(source.ColumnValues);
    }
}

// ---- Type rules ----------------------------------------------------------------------------

const TAccountGroup* TAccountDetail::RangeGroup(const QString& rangeType) const {
    return Format ? Format->GetRangeGroup(Format->IndexOfRangeType(rangeType)) : nullptr;
}

bool TAccountDetail::InSuspenseRange() const {
    const TAccountGroup* group = RangeGroup(AccountTypeCode::Suspense);
    return group && group->Contains(CodeValue);
}

bool TAccountDetail::InBalanceSheetRange() const {
    const TAccountGroup* group = RangeGroup(AccountTypeCode::BalanceSheet);
    return group && group->Contains(CodeValue);
}

void TAccountDetail::DeriveAccountType(const QString& type) {
    if (InSuspenseRange()) {
        AccountType = IsNonPostingType(type) ? type : AccountTypeCode::Suspense;
    } else if (type == AccountTypeCode::Control) {
        AccountType = CanBeControlAccount() ? AccountTypeCode::Control : AccountTypeCode::Ordinary;
    } else if (type == AccountTypeCode::Suspense) {
        // A suspense account can only be made by its code; the account stays as it is.
    } else if (!InBalanceSheetRange()) {
        AccountType = type == AccountTypeCode::Bank ? AccountTypeCode::Ordinary : type;
    } else {
        AccountType = type;
    }
    // Bank details belong to bank accounts only.
    if (AccountType == AccountTypeCode::Bank) {
        if (!BankDetails)
            BankDetails = std::make_unique<TBankDetails>();
    } else {
        BankDetails.reset();
    }
}

QString TAccountDetail::GetAllowedTypesText() const {
    QStringList types{TypeDescription(AccountTypeCode::NonPosting)};
    if (CanBeControlAccount())
        types.append(TypeDescription(AccountTypeCode::Control));
    if (InSuspenseRange()) {
        types.append(TypeDescription(AccountTypeCode::Suspense));
    } else {
        types.append(TypeDescription(AccountTypeCode::Ordinary));
        if (InBalanceSheetRange())
            types.append(TypeDescription(AccountTypeCode::Bank));
    }
    return types.join(QStringLiteral(", "));
}

bool TAccountDetail::IsDefault() const {
    if (AccountType == AccountTypeCode::Suspense)
        return IsDefaultSuspense;
    if (AccountType == AccountTypeCode::Bank)
        return BankDetails && BankDetails->IsDefault;
    return false;
}

void TAccountDetail::SetDefault(bool value) {
    if (AccountType == AccountTypeCode::Suspense) {
        IsDefaultSuspense = value;
    } else if (AccountType == AccountTypeCode::Bank) {
        if (BankDetails)
            BankDetails->IsDefault = value;
    } else {
        IsDefaultSuspense = false;
        if (BankDetails)
            BankDetails->IsDefault = false;
    }
}

// ---- Sign and bank -------------------------------------------------------------------------

QString TAccountDetail::GetSignText() const {
    switch (Sign.unicode()) {
    case u'B':
        return QStringLiteral("BAL");
    case u'C':
        return QStringLiteral("CR");
    case u'D':
        return QStringLiteral("DR");
    default:
        return QString(Sign);
    }
}

void TAccountDetail::SetSignText(const QString& text) {
    if (!text.isEmpty())
        Sign = text.at(0);
}

QString TAccountDetail::GetBankCurrency() const {
    return BankDetails ? BankDetails->CurrencyCode : QString();
}

void TAccountDetail::SetBankCurrency(const QString& code) {
    if (BankDetails)
        BankDetails->CurrencyCode = code;
}

QChar TAccountDetail::GetCurrencySymbol() const {
    const TReferenceData* tables = ReferenceTables();
    const TCurrency* currency =
        tables && BankDetails ? tables->Currencies.Find(BankDetails->CurrencyCode) : nullptr;
    // The currency row's number is the symbol's character code ("AUD" 36 is "$"); a number
    // that is no character gives no symbol.
    if (!currency || currency->Number <= 32 || currency->Number > 255)
        return QLatin1Char(' ');
    return TWin1252Codec::DecodeChar(static_cast<unsigned char>(currency->Number));
}

// ---- Branch and division descriptions --------------------------------------------------------

QString TAccountDetail::GetBranchKey() const {
    return QStringLiteral("BRANCH") + (Format ? Format->FormatPart(CodeValue.Branch, BranchPart) : QString());
}

QString TAccountDetail::GetDivisionKey() const {
    return QStringLiteral("DIVISION") +
           (Format ? Format->FormatPart(CodeValue.Division, DivisionPart) : QString());
}

QString TAccountDetail::ExpandedDescription(const QString& key) const {
    if (!StdDescriptions || StdDescriptions->IndexOfAbbreviation(key) < 0)
        return QString();
    QString result;
    StdDescriptions->ExpandAbbreviations(QStringLiteral("~") + key, result);
    return result;
}

QString TAccountDetail::GetBranchText() const {
    if (CodeValue.Branch == -1)
        return QString();
    const QString name = ExpandedDescription(GetBranchKey());
    return name.isEmpty() ? QString() : QStringLiteral("Branch: ") + name;
}

QString TAccountDetail::GetDivisionText() const {
    if (CodeValue.Division == -1)
        return QString();
    const QString name = ExpandedDescription(GetDivisionKey());
    return name.isEmpty() ? QString() : QStringLiteral("Division: ") + name;
}

QString TAccountDetail::GetBranchDivisionText() const {
    const QString branch = GetBranchText();
    const QString division = GetDivisionText();
    if (!branch.isEmpty() && !division.isEmpty())
        return branch + QStringLiteral("; ") + division;
    return branch + division;
}

// ---- Budgets -------------------------------------------------------------------------------

qint32 TAccountDetail::GetBudget(int slot) const {
    return slot >= 0 && slot < BudgetSlots ? Budgets[static_cast<std::size_t>(slot)] : 0;
}

void TAccountDetail::SetBudget(int slot, qint32 value) {
    if (slot < 0 || slot >= BudgetSlots)
        return;
    const qint64 difference = qint64(value) - Budgets[static_cast<std::size_t>(slot)];
    Budgets[0] = SaturatedBudget(Budgets[0] + difference);
    Budgets[static_cast<std::size_t>(slot)] = value;
}

void TAccountDetail::SetBudgets(const std::array<qint32, BudgetSlots>& values) {
    Budgets = values;
}

void TAccountDetail::ClearBudgets() {
    Budgets.fill(0);
}

int TAccountDetail::BudgetSlotOfPeriod(int period, int endMonth) {
    int slot = period + endMonth + 6;
    if (slot > 12)
        slot = (slot - 1) % 12 + 1;
    return slot;
}

// ---- List columns --------------------------------------------------------------------------

QString TAccountDetail::GetAccount_Code(int index) const {
    if (!Format)
        return QString();
    return Format->FormatCode(index == 1 ? Code2 : CodeValue);
}

bool TAccountDetail::SetAccount_Code(int index, const QString& text) {
    if (!Format)
        return false;
    TAccountCode code;
    if (!Format->TextToCode(text, code, false, false))
        return false;
    if (index == 1) {
        Code2 = code;
        return true;
    }
    if (Owner)
        return Owner->ChangeCode(Owner->IndexOfAccount(this), code) >= 0;
    CodeValue = code;
    return true;
}

QString TAccountDetail::GetAccount_Description_() const {
    QString text = Description;
    if (StdDescriptions) {
        QString expanded;
        StdDescriptions->ExpandAbbreviations(Description, expanded);
        text = expanded;
    }
    if (CodeValue.SubAccount != -1)
        text.prepend(SubAccountIndent);
    return text;
}

QString TAccountDetail::GetAccount_Type_() const {
    if (AccountType == AccountTypeCode::Ordinary)
        return QString();
    QString text = TypeDescription(AccountType);
    if (IsDefault())
        text += QStringLiteral(" (Def)");
    return text;
}

QString TAccountDetail::GetDate_Added() const {
    return DateNumToStr(false, DateAdded);
}
