#include "core/charts/AccountsChart.h"

#include "core/accounts/AccountFormat.h"
#include "core/accounts/AccountGroup.h"
#include "core/accounts/AccountGroups.h"
#include "core/charts/StandardChart.h"
#include "core/charts/StdDescChart.h"
#include "core/common/Exceptions.h"
#include "core/common/ResultCodes.h"
#include "core/dates/DateNumbers.h"
#include "core/files/FileInfo.h"
#include "core/files/Paths.h"
#include "core/io/ValueReader.h"
#include "core/io/ValueWriter.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"
#include "core/vocab/FileVocabulary.h"

#include <QFileInfo>
#include <QIODevice>

namespace {

const TAccountFormat* ProgramFormat(const QString& formatID) {
    return HasProgramParams() ? ProgramParams().FindAccountFormat(formatID) : nullptr;
}

// A separator the user types, or none for a part at the end of the mask or followed directly
// by another part.
QString SeparatorText(const TAccountFormat* format, int part) {
    if (!format)
        return QString();
    const QChar separator = format->GetSeparator(part);
    if (separator == QChar(TAccountFormat::NoSeparator) || separator == QChar(TAccountFormat::EndOfMask))
        return QString();
    return QString(separator);
}

} // namespace

TAccountsChart::TAccountsChart(const TChartEntity& entity, const TAccountFormat* format,
                               const TOptionSet& options, int year, const QString& fileName,
                               TStdDescChart* stdDescs, IProgress* progress)
    : TMasterChart(entity, year), AccountFormat(format ? format : ProgramFormat(entity.AccFormatID)),
      StdDescs(stdDescs) {
    SetFileHeader(AccountsChartHeader.Kind.toString(), AccountsChartHeader.Version.toString(), ckAccounts,
                  entity.AccFormatID);
    if (!fileName.isEmpty())
        SetFileName(fileName);
    if (options.Has(Option::Load))
        LoadFromFile(options, progress);
    AddBranchDivisionDescriptions();
}

TAccountsChart::~TAccountsChart() = default;

std::unique_ptr<TAccountsChart> TAccountsChart::CreateForFormat(const TChartEntity& entity,
                                                                const QString& formatID,
                                                                const TAccountFormat* format) {
    auto chart = std::make_unique<TAccountsChart>(entity, format, TOptionSet{}, -1);
    chart->HeaderKey = formatID;
    return chart;
}

// ---- Items ---------------------------------------------------------------------------------

int TAccountsChart::AddItem(std::unique_ptr<TMasterChartItem> item) {
    auto* account = dynamic_cast<TAccountDetail*>(item.get());
    if (!account)
        return -1;
    account->StdDescriptions = StdDescs;
    if (!account->Format)
        account->Format = AccountFormat;
    // The key is the formatted code: made once for the length and the filing.
    const QString key = account->GetKey();
    const int codeLength = static_cast<int>(key.size());
    const int index = AddKeyedItem(key, std::move(item));
    if (index >= 0) {
        account->Owner = this;
        LongestCode = std::max(LongestCode, codeLength);
    }
    return index;
}

std::unique_ptr<TAccountDetail> TAccountsChart::TNewAccounts::Make() {
    if (!Stamp)
        Stamp = NowNum();
    return std::make_unique<TAccountDetail>(Format, *Stamp);
}

int TAccountsChart::AddAccount(std::unique_ptr<TAccountDetail> account) {
    return AddItem(std::move(account));
}

std::unique_ptr<TMasterChartItem> TAccountsChart::DeleteItem(int index, bool freeIt) {
    if (TAccountDetail* account = GetAccount(index))
        account->Owner = nullptr;
    return TMasterChart::DeleteItem(index, freeIt);
}

int TAccountsChart::ChangeCode(int index, const QString& newCode) {
    TAccountDetail* account = GetAccount(index);
    TAccountCode code;
    if (!account || !AccountFormat || !AccountFormat->TextToCode(newCode, code, false, false))
        return -1;
    return ChangeCode(index, code);
}

int TAccountsChart::ChangeCode(int index, const TAccountCode& newCode) {
    TAccountDetail* account = GetAccount(index);
    if (!account || !AccountFormat)
        return -1;
    const QString key = AccountFormat->FormatCode(newCode);
    const int held = IndexOf(key);
    if (held >= 0 && held != index)
        return -1;
    const int newIndex = TMasterChart::ChangeCode(index, key);
    if (newIndex >= 0)
        LongestCode = std::max(LongestCode, static_cast<int>(key.size()));
    return newIndex;
}

int TAccountsChart::IndexOfAccount(const TAccountDetail* account) const {
    if (!account)
        return -1;
    const int index = IndexOf(account->GetKey());
    return GetItem(index) == account ? index : -1;
}

TAccountCode TAccountsChart::GetCodeParts(int index) const {
    const TAccountDetail* account = GetAccount(index);
    return account ? account->Code() : TAccountCode::Empty();
}

int TAccountsChart::IndexOfCode(const TAccountCode& code) const {
    return AccountFormat ? IndexOf(AccountFormat->FormatCode(code)) : -1;
}

int TAccountsChart::IndexOfCodeText(const QString& text) const {
    TAccountCode code;
    if (!AccountFormat || !AccountFormat->TextToCode(text, code, false, false))
        return InvalidCodeText;
    return IndexOfCode(code);
}

int TAccountsChart::IndexOfTypedCode(const QString& text) const {
    TAccountCode code;
    if (!AccountFormat || !AccountFormat->TextToCode(text, code, false, false))
        return InvalidCodeText;
    const int index = IndexOfCode(code);
    return index >= 0 ? index : IndexOfCode(AccountFormat->PlacedCode(code));
}

void TAccountsChart::GetCodeWithCurrency(int index, QString& text) const {
    text.clear();
    const TAccountDetail* account = GetAccount(index);
    if (!account)
        return;
    text = GetCode(index);
    const QString currency = account->GetBankCurrency();
    if (!currency.isEmpty())
        text += QStringLiteral(" (") + currency + QStringLiteral(")");
}

int TAccountsChart::LowerBoundAccountNo(int no) const {
    for (int i = 0; i < Count(); ++i)
        if (GetAccountCodePart(GetAccount(i)->Code(), AccountPart) >= no)
            return i;
    return Count();
}

int TAccountsChart::FindAccountByText(const QString& text, bool exact, int& matchKind, int start) const {
    const int first = std::max(0, start);
    for (int i = first; i < Count(); ++i) {
        const QString code = GetCode(i);
        if (exact ? code.compare(text, Qt::CaseInsensitive) == 0
                  : code.startsWith(text, Qt::CaseInsensitive)) {
            matchKind = 1;
            return i;
        }
    }
    for (int i = first; i < Count(); ++i) {
        const QString& description = GetAccount(i)->Description;
        if (exact ? description.compare(text, Qt::CaseInsensitive) == 0
                  : description.contains(text, Qt::CaseInsensitive)) {
            matchKind = 2;
            return i;
        }
    }
    matchKind = 0;
    return -1;
}

bool TAccountsChart::AutoCompleteEdit(TEditState& edit) const {
    const int caret = std::clamp(edit.SelStart, 0, static_cast<int>(edit.Text.size()));
    const QString typed = edit.Text.left(caret);
    if (typed.isEmpty())
        return false;
    int kind = 0;
    const int index = FindAccountByText(typed, false, kind, 0);
    if (index < 0)
        return false;
    const QString found = kind == 1 ? GetCode(index) : GetAccount(index)->Description;
    if (!found.startsWith(typed, Qt::CaseInsensitive))
        return false;
    edit.Text = found;
    edit.SelStart = caret;
    edit.SelLength = static_cast<int>(found.size()) - caret;
    return true;
}

// ---- Control, default and suspense accounts ------------------------------------------------

int TAccountsChart::FindControlAccount(const TAccountCode& code) const {
    TAccountCode control;
    control.Account = code.Account;
    const int index = IndexOfCode(control);
    const TAccountDetail* account = GetAccount(index);
    return account && account->AccountType == AccountTypeCode::Control ? index : -1;
}

int TAccountsChart::FindControlAccountOf(int index) const {
    const TAccountDetail* account = GetAccount(index);
    return account ? FindControlAccount(account->Code()) : -1;
}

int TAccountsChart::DefaultBankAccount() const {
    for (int i = 0; i < Count(); ++i) {
        const TAccountDetail* account = GetAccount(i);
        if (account->AccountType == AccountTypeCode::Bank && account->IsDefault())
            return i;
    }
    return -1;
}

int TAccountsChart::DefaultSuspenseAccount() const {
    for (int i = 0; i < Count(); ++i) {
        const TAccountDetail* account = GetAccount(i);
        if (account->AccountType == AccountTypeCode::Suspense && account->IsDefault())
            return i;
    }
    return -1;
}

void TAccountsChart::SetDefaultAccount(int index, bool value) {
    TAccountDetail* target = GetAccount(index);
    if (!target ||
        (target->AccountType != AccountTypeCode::Suspense && target->AccountType != AccountTypeCode::Bank))
        return;
    for (int i = 0; i < Count(); ++i) {
        TAccountDetail* account = GetAccount(i);
        if (account->AccountType == target->AccountType)
            account->SetDefault(false);
    }
    target->SetDefault(value);
}

const TAccountGroup* TAccountsChart::RangeGroup(const QString& rangeType) const {
    return AccountFormat ? AccountFormat->GetRangeGroup(AccountFormat->IndexOfRangeType(rangeType)) : nullptr;
}

void TAccountsChart::EnsureSuspenseAccount() {
    if (DefaultSuspenseAccount() >= 0)
        return;
    for (int i = 0; i < Count(); ++i) {
        TAccountDetail* account = GetAccount(i);
        if (account->AccountType == AccountTypeCode::Suspense && account->InSuspenseRange()) {
            account->SetDefault(true);
            Saved = false;
            return;
        }
    }
    const TAccountGroup* suspense = RangeGroup(AccountTypeCode::Suspense);
    if (!suspense)
        return;
    auto account = std::make_unique<TAccountDetail>(AccountFormat);
    account->SetCode(suspense->FromCode());
    account->Code2 = suspense->FromCode();
    account->Description = suspense->Description;
    account->AccountType = AccountTypeCode::Suspense;
    account->IsDefaultSuspense = true;
    if (AddAccount(std::move(account)) >= 0)
        Saved = false;
}

void TAccountsChart::ApplySuspenseRange(TAccountDetail& account) const {
    if (account.InSuspenseRange())
        account.DeriveAccountType(AccountTypeCode::Suspense);
}

bool TAccountsChart::IsNonPostingAccount(int index) const {
    const TAccountDetail* account = GetAccount(index);
    return account && HasProgramParams() && ProgramParams().GetAccountTypeFlag(account->AccountType);
}

// ---- Account groups and bank accounts ------------------------------------------------------

int TAccountsChart::CountBankAccounts() const {
    int count = 0;
    for (int i = 0; i < Count() && count < MaxBankAccounts; ++i)
        if (GetAccount(i)->BankDetails)
            ++count;
    return count;
}

int TAccountsChart::FirstAccountInGroup(const TAccountGroups& groups, int groupIndex) const {
    const TAccountGroup* group = groups.GetGroup(groupIndex);
    if (!group)
        return -1;
    for (int i = 0; i < Count(); ++i)
        if (group->Contains(GetAccount(i)->Code()))
            return i;
    return -1;
}

int TAccountsChart::LastAccountInGroup(const TAccountGroups& groups, int groupIndex) const {
    const TAccountGroup* group = groups.GetGroup(groupIndex);
    if (!group)
        return -1;
    for (int i = Count() - 1; i >= 0; --i)
        if (group->Contains(GetAccount(i)->Code()))
            return i;
    return -1;
}

bool TAccountsChart::GetBankAccountGroups(QString& text, bool all,
                                          std::unique_ptr<TAccountGroups>& groups) const {
    QStringList codes;
    for (int i = 0; i < Count(); ++i) {
        const TAccountDetail* account = GetAccount(i);
        if (account->BankDetails && account->InBalanceSheetRange()) {
            codes.append(GetCode(i));
            if (!all)
                break;
        }
    }
    text = codes.join(u',');
    // Codes are read with the chart's format: without one there is nothing to parse them by.
    if (!AccountFormat) {
        groups.reset();
        return false;
    }
    return Parse(AccountFormat, text, true, groups);
}

void TAccountsChart::ClearBankDetailsFlag(int index) {
    for (int i = 0; i < Count(); ++i) {
        if (index != -1 && i != index)
            continue;
        TAccountDetail* account = GetAccount(i);
        if (account->BankDetails)
            account->BankDetails->Flag2 = false;
    }
}

// ---- Working amounts -----------------------------------------------------------------------

void TAccountsChart::ClearAccountBalances() {
    for (int i = 0; i < Count(); ++i) {
        TAccountDetail* account = GetAccount(i);
        account->Balance = 0.0;
        account->Total = 0.0;
        account->Quantity = 0;
    }
}

void TAccountsChart::ClearAllAccountAmounts() {
    for (int i = 0; i < Count(); ++i) {
        TAccountDetail* account = GetAccount(i);
        account->PeriodAmounts.Clear();
        account->ColumnValues.Clear();
    }
}

void TAccountsChart::ClearUsedFlags() {
    for (int i = 0; i < Count(); ++i)
        GetAccount(i)->Used = false;
}

double TAccountsChart::GetAccountBalance(int index) const {
    const TAccountDetail* account = GetAccount(index);
    return account ? account->Balance : 0.0;
}

void TAccountsChart::AddToAccountBalance(int index, double amount) {
    if (TAccountDetail* account = GetAccount(index))
        account->Balance += amount;
}

void TAccountsChart::AddToAccountTotal(int index, double amount) {
    if (TAccountDetail* account = GetAccount(index))
        account->Total += amount;
}

void TAccountsChart::AddToAccountQuantity(int index, qint32 qty) {
    if (TAccountDetail* account = GetAccount(index))
        account->Quantity += qty;
}

// ---- Codes ---------------------------------------------------------------------------------

TAccountCode TAccountsChart::ConsolidatedCode(const TAccountFormat* format, const TAccountCode& code,
                                              int level) {
    const TAccountGroup* all = format ? format->AllRange() : nullptr;
    if (!all || level < 0 || level > 9)
        return code;
    const qint16 lowB = all->FromCode().Branch;
    const qint16 lowD = all->FromCode().Division;
    const qint16 lowS = all->FromCode().SubAccount;
    const bool hasBranch = code.Branch != -1;
    const bool hasDivision = code.Division != -1;
    TAccountCode result = code;
    switch (level) {
    case 1:
        if (hasBranch)
            result.Branch = lowB;
        break;
    case 2:
        if (hasBranch)
            result.Branch = lowB;
        result.SubAccount = lowS;
        break;
    case 3:
        if (hasDivision)
            result.Division = lowD;
        break;
    case 4:
        if (hasDivision)
            result.Division = lowD;
        result.SubAccount = lowS;
        break;
    case 5:
        if (hasBranch)
            result.Branch = lowB;
        if (hasDivision)
            result.Division = lowD;
        result.SubAccount = lowS;
        break;
    case 6:
        result.SubAccount = lowS;
        break;
    case 9:
        result.Branch = -1;
        result.Division = -1;
        result.SubAccount = -1;
        break;
    default:
        break;
    }
    return result;
}

int TAccountsChart::FindConsolidatedAccount(const TAccountCode& code, int level) const {
    const TAccountCode rolledUp = ConsolidatedCode(AccountFormat, code, level);
    const int index = IndexOfCode(rolledUp);
    if (index >= 0 && (level != 9 || GetAccount(index)->AccountType == AccountTypeCode::Control))
        return index;
    return IndexOfCode(code);
}

QString TAccountsChart::ConvertOldCodeText(const QString& text) const {
    return ConvertOldCodeText(HeaderKey, AccountFormat, text);
}

QString TAccountsChart::ConvertOldCodeText(const QString& formatID, const TAccountFormat* format,
                                           const QString& text) {
    // Each character found in the original text is replaced where it stood, so a separator put
    // in by one replacement is never taken for another old one.
    struct TReplacement {
        QChar Old;
        QString New;
    };
    QList<TReplacement> replacements;
    static const QStringList slashDashFormats{
        QStringLiteral("QUILVANE"), QStringLiteral("PAXUS"), QStringLiteral("SOLUTION 6 MAS4"),
        QStringLiteral("SOLUTION 6 MAS3"), QStringLiteral("HANDILEDGER")};
    if (slashDashFormats.contains(formatID, Qt::CaseInsensitive)) {
        const QString separator = SeparatorText(format, AccountPart);
        replacements = {{u'/', separator}, {u'-', separator}};
    } else if (formatID.compare(QLatin1String("CEE DATA"), Qt::CaseInsensitive) == 0) {
        replacements = {{u'/', SeparatorText(format, BranchPart)},
                        {u'.', SeparatorText(format, DivisionPart)},
                        {u'-', SeparatorText(format, AccountPart)}};
    } else {
        return text;
    }
    QList<QPair<int, QString>> edits; // position in the text, replacement
    for (const TReplacement& replacement : replacements) {
        const int position = static_cast<int>(text.indexOf(replacement.Old));
        if (position >= 0)
            edits.append({position, replacement.New});
    }
    std::sort(edits.begin(), edits.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    QString result = text;
    for (const auto& [position, replacement] : edits)
        result.replace(position, 1, replacement);
    return result;
}

void TAccountsChart::AddDescriptionOf(const TAccountDetail& account, bool branch) {
    if (!StdDescs || !AccountFormat)
        return;
    const int value = GetAccountCodePart(account.Code(), branch ? BranchPart : DivisionPart);
    if (value == -1)
        return;
    const QString key = branch ? account.GetBranchKey() : account.GetDivisionKey();
    if (StdDescs->IndexOfAbbreviation(key) >= 0)
        return;
    const QString part = AccountFormat->FormatPart(value, branch ? BranchPart : DivisionPart);
    const QString text = (branch ? QStringLiteral("BRANCH %1") : QStringLiteral("Division %1")).arg(part);
    if (StdDescs->AddDescription(key, text) >= 0)
        StdDescs->Saved = false;
}

void TAccountsChart::AddBranchDescription(const TAccountDetail& account) {
    AddDescriptionOf(account, true);
}

void TAccountsChart::AddDivisionDescription(const TAccountDetail& account) {
    AddDescriptionOf(account, false);
}

void TAccountsChart::AddBranchDivisionDescriptions() {
    for (int i = 0; i < Count(); ++i) {
        AddBranchDescription(*GetAccount(i));
        AddDivisionDescription(*GetAccount(i));
    }
}

// ---- File ----------------------------------------------------------------------------------

QString TAccountsChart::DefaultChartName() const {
    const QString& name = Entity.AccDefault;
    if (TStandardChart::DefaultChartLeavesDataFolder(Entity.DataDir, name))
        throw EQuilvaneError(TStandardChart::DefaultChartOutsideText.arg(name));
    TStandardChart::RefuseLinkedDefaultChart(Entity.DataDir, name);
    return TStandardChart::DefaultChartPath(Entity.DataDir, name);
}

QString TAccountsChart::FileToLoad(const TOptionSet& options) {
    LoadingDefault = false;
    const QString own = TMasterChart::FileToLoad(options);
    if (!FileNameOverride.isEmpty() || Entity.AccDefault.isEmpty() || own.isEmpty() || QFileInfo::exists(own))
        return own;
    LoadingDefault = true;
    return NativePath(DefaultChartName());
}

bool TAccountsChart::DefaultChartMissing(const TOptionSet& options) const {
    if (!FileNameOverride.isEmpty() || Entity.AccDefault.isEmpty())
        return false;
    try {
        const QString own = NativePath(GetFileName(options));
        if (own.isEmpty() || QFileInfo::exists(own))
            return false;
        // A drive that is not ready may come back (Retry); an empty file is a damaged chart.
        const QString fallback = NativePath(DefaultChartName());
        return !fallback.isEmpty() && !QFileInfo::exists(fallback) && !QFileInfo(fallback).isSymLink();
    } catch (const EQuilvaneError&) {
        return false; // no name can be built: the load reports it
    }
}

bool TAccountsChart::AcceptHeader(int headerResult) {
    if (headerResult != ChartResult::ForeignFormat)
        return true;
    TServices::Prompt().Beep(TBeep::Warning);
    const TMessageButton answer = TServices::Prompt().ShowMessage(
        TMessageKind::Question,
        QStringLiteral("The chart of accounts being loaded has a format which may not be compatible with "
                       "current file's accounts format. Continue anyway ?"),
        TMessageButton::OK | TMessageButton::Cancel | TMessageButton::Help, ForeignFormatHelpContext);
    DeclinedFormat = answer != TMessageButton::OK;
    return !DeclinedFormat;
}

int TAccountsChart::LoadFromFile(const TOptionSet& options, IProgress* progress) {
    DeclinedFormat = false;
    const auto finish = [&] {
        EnsureSuspenseAccount();
        CurrentIndex = Count() > 0 ? 0 : -1;
        FileNameOverride.clear();
    };
    if (DefaultChartMissing(options)) {
        // A new file of a practice that has no default chart for it: there is nothing to read and
        // nothing to lose, so the year simply starts empty (and then with its suspense account).
        LoadingDefault = false;
        if (!options.Has(Option::MergeLoad) && !options.Has(Option::MergeReplace))
            Clear();
        finish();
        return ResultCode::Success;
    }
    int result = ResultCode::Reported;
    try {
        result = TMasterChart::LoadFromFile(options.With(Option::MustExist), progress);
    } catch (...) {
        finish();
        throw;
    }
    if (result == ChartResult::ForeignFormat && DeclinedFormat) {
        // The other format's file must stay as it is: nothing of it is read, and this chart is
        // never written over it.
        BlockSave();
    } else if (result == ChartResult::ForeignFormat) {
        // Taken over: the next save writes the accounts under this file's format.
        Saved = false;
        result = ResultCode::Success;
    } else if (result == ResultCode::Success && LoadingDefault && Count() > 0) {
        // The year has no file of its own yet: the next save writes it.
        Saved = false;
    }
    finish();
    return result;
}

void TAccountsChart::WriteItems(QIODevice& /*Stream*/, TValueWriter& writer, IProgress* progress) {
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        GetAccount(i)->WriteToStream(writer);
        ReportWriteProgress(progress, i + 1, count);
    }
}

void TAccountsChart::ReadItems(QIODevice& stream, TValueReader& reader, IProgress* progress,
                               const TOptionSet& options) {
    while (!reader.EndOfList()) {
        auto account = std::make_unique<TAccountDetail>(AccountFormat, 0.0);
        account->ReadFromStream(reader);
        AddReadItem(std::move(account), options);
        ReportReadProgress(progress, stream);
    }
}

void TAccountsChart::MergeItem(TMasterChartItem& held, const TMasterChartItem& read) {
    static_cast<TAccountDetail&>(held).CopyFrom(static_cast<const TAccountDetail&>(read), true);
}
