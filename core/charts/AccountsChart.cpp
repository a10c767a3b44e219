#include "core/charts/AccountsChart.h"

#include "core/accounts/AccountFormat.h"
#include "core/accounts/AccountGroup.h"
#include "core/accounts/AccountGroups.h"
#include "core/charts/StdDescChart.h"
#include "core/common/Exceptions.h"
#include "core/files/FileInfo.h"
#include "core/files/Paths.h"
#include "core/io/ValueReader.h"
#include "core/io/ValueWriter.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"
#include "core/vocab/FileVocabulary.h"

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

bool HoldsFolder(const QString& name) {
    return name.contains(u'\\') || name.contains(u'/') || name.contains(u':');
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

std::unique_ptr<TAccountsChart> TAccountsChart::CreateForFormat(const TChartEntity& Entity,
                                                                const QString& FormatID,
                                                                const TAccountFormat* Format) {
    auto chart = std::make_unique<TAccountsChart>(Entity, Format, TOptionSet{}, -1);
    chart->HeaderKey = FormatID;
    return chart;
}

// ---- Items ---------------------------------------------------------------------------------

int TAccountsChart::AddItem(std::unique_ptr<TMasterChartItem> Item) {
    auto* account = dynamic_cast<TAccountDetail*>(Item.get());
    if (!account)
        return -1;
    account->StdDescriptions = StdDescs;
    if (!account->Format)
        account->Format = AccountFormat;
    const int codeLength = static_cast<int>(account->GetKey().size());
    const int index = TMasterChart::AddItem(std::move(Item));
    if (index >= 0) {
        account->Owner = this;
        LongestCode = std::max(LongestCode, codeLength);
    }
    return index;
}

int TAccountsChart::AddAccount(std::unique_ptr<TAccountDetail> Account) {
    return AddItem(std::move(Account));
}

std::unique_ptr<TMasterChartItem> TAccountsChart::DeleteItem(int Index, bool FreeIt) {
    if (TAccountDetail* account = GetAccount(Index))
        account->Owner = nullptr;
    return TMasterChart::DeleteItem(Index, FreeIt);
}

int TAccountsChart::ChangeCode(int Index, const QString& NewCode) {
    TAccountDetail* account = GetAccount(Index);
    TAccountCode code;
    if (!account || !AccountFormat || !AccountFormat->TextToCode(NewCode, code, false, false))
        return -1;
    return ChangeCode(Index, code);
}

int TAccountsChart::ChangeCode(int Index, const TAccountCode& NewCode) {
    TAccountDetail* account = GetAccount(Index);
    if (!account || !AccountFormat)
        return -1;
    const QString key = AccountFormat->FormatCode(NewCode);
    const int held = IndexOf(key);
    if (held >= 0 && held != Index)
        return -1;
    const int index = TMasterChart::ChangeCode(Index, key);
    if (index >= 0)
        LongestCode = std::max(LongestCode, static_cast<int>(key.size()));
    return index;
}

TAccountDetail* TAccountsChart::GetAccount(int Index) const {
    return static_cast<TAccountDetail*>(GetItem(Index));
}

int TAccountsChart::IndexOfAccount(const TAccountDetail* Account) const {
    if (!Account)
        return -1;
    const int index = IndexOf(Account->GetKey());
    return GetItem(index) == Account ? index : -1;
}

TAccountCode TAccountsChart::GetCodeParts(int Index) const {
    const TAccountDetail* account = GetAccount(Index);
    return account ? account->Code() : TAccountCode::Empty();
}

int TAccountsChart::IndexOfCode(const TAccountCode& Code) const {
    return AccountFormat ? IndexOf(AccountFormat->FormatCode(Code)) : -1;
}

int TAccountsChart::IndexOfCodeText(const QString& Text) const {
    TAccountCode code;
    if (!AccountFormat || !AccountFormat->TextToCode(Text, code, false, false))
        return InvalidCodeText;
    return IndexOfCode(code);
}

void TAccountsChart::GetCodeWithCurrency(int Index, QString& Text) const {
    Text.clear();
    const TAccountDetail* account = GetAccount(Index);
    if (!account)
        return;
    Text = GetCode(Index);
    const QString currency = account->GetBankCurrency();
    if (!currency.isEmpty())
        Text += QStringLiteral(" (") + currency + QStringLiteral(")");
}

int TAccountsChart::LowerBoundAccountNo(int No) const {
    for (int i = 0; i < Count(); ++i)
        if (GetAccount(i)->Code().Account >= No)
            return i;
    return Count();
}

int TAccountsChart::FindAccountByText(const QString& Text, bool Exact, int& MatchKind, int Start) const {
    const int first = std::max(0, Start);
    for (int i = first; i < Count(); ++i) {
        const QString code = GetCode(i);
        if (Exact ? code.compare(Text, Qt::CaseInsensitive) == 0
                  : code.startsWith(Text, Qt::CaseInsensitive)) {
            MatchKind = 1;
            return i;
        }
    }
    for (int i = first; i < Count(); ++i) {
        const QString& description = GetAccount(i)->Description;
        if (Exact ? description.compare(Text, Qt::CaseInsensitive) == 0
                  : description.contains(Text, Qt::CaseInsensitive)) {
            MatchKind = 2;
            return i;
        }
    }
    MatchKind = 0;
    return -1;
}

bool TAccountsChart::AutoCompleteEdit(TEditState& Edit) const {
    const int caret = std::clamp(Edit.SelStart, 0, static_cast<int>(Edit.Text.size()));
    const QString typed = Edit.Text.left(caret);
    if (typed.isEmpty())
        return false;
    int kind = 0;
    const int index = FindAccountByText(typed, false, kind, 0);
    if (index < 0)
        return false;
    const QString found = kind == 1 ? GetCode(index) : GetAccount(index)->Description;
    if (!found.startsWith(typed, Qt::CaseInsensitive))
        return false;
    Edit.Text = found;
    Edit.SelStart = caret;
    Edit.SelLength = static_cast<int>(found.size()) - caret;
    return true;
}

// ---- Control, default and suspense accounts ------------------------------------------------

int TAccountsChart::FindControlAccount(const TAccountCode& Code) const {
    TAccountCode control;
    control.Account = Code.Account;
    const int index = IndexOfCode(control);
    const TAccountDetail* account = GetAccount(index);
    return account && account->AccountType == AccountTypeCode::Control ? index : -1;
}

int TAccountsChart::FindControlAccountOf(int Index) const {
    const TAccountDetail* account = GetAccount(Index);
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

void TAccountsChart::SetDefaultAccount(int Index, bool Value) {
    TAccountDetail* target = GetAccount(Index);
    if (!target ||
        (target->AccountType != AccountTypeCode::Suspense && target->AccountType != AccountTypeCode::Bank))
        return;
    for (int i = 0; i < Count(); ++i) {
        TAccountDetail* account = GetAccount(i);
        if (account->AccountType == target->AccountType)
            account->SetDefault(false);
    }
    target->SetDefault(Value);
}

const TAccountGroup* TAccountsChart::RangeGroup(const QString& RangeType) const {
    return AccountFormat ? AccountFormat->GetRangeGroup(AccountFormat->IndexOfRangeType(RangeType)) : nullptr;
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

void TAccountsChart::ApplySuspenseRange(TAccountDetail& Account) const {
    if (Account.InSuspenseRange())
        Account.DeriveAccountType(AccountTypeCode::Suspense);
}

bool TAccountsChart::IsNonPostingAccount(int Index) const {
    const TAccountDetail* account = GetAccount(Index);
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

int TAccountsChart::FirstAccountInGroup(const TAccountGroups& Groups, int I) const {
    const TAccountGroup* group = Groups.GetGroup(I);
    if (!group)
        return -1;
    for (int i = 0; i < Count(); ++i)
        if (group->Contains(GetAccount(i)->Code()))
            return i;
    return -1;
}

int TAccountsChart::LastAccountInGroup(const TAccountGroups& Groups, int I) const {
    const TAccountGroup* group = Groups.GetGroup(I);
    if (!group)
        return -1;
    for (int i = Count() - 1; i >= 0; --i)
        if (group->Contains(GetAccount(i)->Code()))
            return i;
    return -1;
}

bool TAccountsChart::GetBankAccountGroups(QString& Text, bool All,
                                          std::unique_ptr<TAccountGroups>& Groups) const {
    QStringList codes;
    for (int i = 0; i < Count(); ++i) {
        const TAccountDetail* account = GetAccount(i);
        if (account->BankDetails && account->InBalanceSheetRange()) {
            codes.append(GetCode(i));
            if (!All)
                break;
        }
    }
    Text = codes.join(u',');
    return Parse(AccountFormat, Text, true, Groups);
}

void TAccountsChart::ClearBankDetailsFlag(int Index) {
    for (int i = 0; i < Count(); ++i) {
        if (Index != -1 && i != Index)
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

double TAccountsChart::GetAccountBalance(int Index) const {
    const TAccountDetail* account = GetAccount(Index);
    return account ? account->Balance : 0.0;
}

void TAccountsChart::AddToAccountBalance(int Index, double Amount) {
    if (TAccountDetail* account = GetAccount(Index))
        account->Balance += Amount;
}

void TAccountsChart::AddToAccountTotal(int Index, double Amount) {
    if (TAccountDetail* account = GetAccount(Index))
        account->Total += Amount;
}

void TAccountsChart::AddToAccountQuantity(int Index, qint32 Qty) {
    if (TAccountDetail* account = GetAccount(Index))
        account->Quantity += Qty;
}

// ---- Codes ---------------------------------------------------------------------------------

TAccountCode TAccountsChart::ConsolidatedCode(const TAccountFormat* Format, const TAccountCode& Code,
                                              int Level) {
    const TAccountGroup* all = Format ? Format->AllRange() : nullptr;
    if (!all || Level < 0 || Level > 9)
        return Code;
    const qint16 lowB = all->FromCode().Branch;
    const qint16 lowD = all->FromCode().Division;
    const qint16 lowS = all->FromCode().SubAccount;
    const bool hasBranch = Code.Branch != -1;
    const bool hasDivision = Code.Division != -1;
    TAccountCode result = Code;
    switch (Level) {
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

int TAccountsChart::FindConsolidatedAccount(const TAccountCode& Code, int Level) const {
    const TAccountCode rolledUp = ConsolidatedCode(AccountFormat, Code, Level);
    const int index = IndexOfCode(rolledUp);
    if (index >= 0 && (Level != 9 || GetAccount(index)->AccountType == AccountTypeCode::Control))
        return index;
    return IndexOfCode(Code);
}

QString TAccountsChart::ConvertOldCodeText(const QString& Text) const {
    return ConvertOldCodeText(HeaderKey, AccountFormat, Text);
}

QString TAccountsChart::ConvertOldCodeText(const QString& FormatID, const TAccountFormat* Format,
                                           const QString& Text) {
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
    if (slashDashFormats.contains(FormatID, Qt::CaseInsensitive)) {
        const QString separator = SeparatorText(Format, AccountPart);
        replacements = {{u'/', separator}, {u'-', separator}};
    } else if (FormatID.compare(QLatin1String("CEE DATA"), Qt::CaseInsensitive) == 0) {
        replacements = {{u'/', SeparatorText(Format, BranchPart)},
                        {u'.', SeparatorText(Format, DivisionPart)},
                        {u'-', SeparatorText(Format, AccountPart)}};
    } else {
        return Text;
    }
    QList<QPair<int, QString>> edits; // position in Text, replacement
    for (const TReplacement& replacement : replacements) {
        const int position = static_cast<int>(Text.indexOf(replacement.Old));
        if (position >= 0)
            edits.append({position, replacement.New});
    }
    std::sort(edits.begin(), edits.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    QString result = Text;
    for (const auto& [position, text] : edits)
        result.replace(position, 1, text);
    return result;
}

void TAccountsChart::AddDescriptionOf(const TAccountDetail& Account, bool Branch) {
    if (!StdDescs || !AccountFormat)
        return;
    const int value = Branch ? Account.Code().Branch : Account.Code().Division;
    if (value == -1)
        return;
    const QString key = Branch ? Account.GetBranchKey() : Account.GetDivisionKey();
    if (StdDescs->IndexOfAbbreviation(key) >= 0)
        return;
    const QString part = AccountFormat->FormatPart(value, Branch ? BranchPart : DivisionPart);
    const QString text = (Branch ? QStringLiteral("BRANCH %1") : QStringLiteral("Division %1")).arg(part);
    if (StdDescs->AddDescription(key, text) >= 0)
        StdDescs->Saved = false;
}

void TAccountsChart::AddBranchDescription(const TAccountDetail& Account) {
    AddDescriptionOf(Account, true);
}

void TAccountsChart::AddDivisionDescription(const TAccountDetail& Account) {
    AddDescriptionOf(Account, false);
}

void TAccountsChart::AddBranchDivisionDescriptions() {
    for (int i = 0; i < Count(); ++i) {
        AddBranchDescription(*GetAccount(i));
        AddDivisionDescription(*GetAccount(i));
    }
}

// ---- File ----------------------------------------------------------------------------------

QString TAccountsChart::LoadFileName(const TOptionSet& Options) const {
    if (!FileNameOverride.isEmpty())
        return FileNameOverride;
    const QString own = GetFileName(Options);
    if (Entity.AccDefault.isEmpty() || GetFileSize(own) >= 0)
        return own;
    if (HoldsFolder(Entity.AccDefault))
        return Entity.AccDefault;
    return BuildPath({Entity.DataDir, ChartKindEntry(ckAccounts).Folder.toString(), Entity.AccDefault});
}

int TAccountsChart::LoadFromFile(const TOptionSet& Options, IProgress* Progress) {
    int result = 0;
    try {
        bool fromDefault = false;
        if (FileNameOverride.isEmpty()) {
            try {
                const QString own = GetFileName(Options);
                const QString name = LoadFileName(Options);
                fromDefault = name != own;
                SetFileName(name);
            } catch (const EQuilvaneError&) {
                // No folder to name the file in: the load below reports it.
            }
        }

        bool declined = false;
        if (PeekFileHeader(Options) == ChartResult::ForeignFormat) {
            TServices::Prompt().Beep(TBeep::Warning);
            const TMessageButton answer = TServices::Prompt().ShowMessage(
                TMessageKind::Question,
                QStringLiteral(
                    "The chart of accounts being loaded has a format which may not be compatible with "
                    "current file's accounts format. Continue anyway ?"),
                TMessageButton::OK | TMessageButton::Cancel | TMessageButton::Help, ForeignFormatHelpContext);
            declined = answer != TMessageButton::OK;
        }
        if (declined) {
            // The other format's file must stay as it is: nothing of it is read, and this chart
            // is never written over it.
            BlockSave();
            result = ChartResult::ForeignFormat;
        } else {
            result = TMasterChart::LoadFromFile(Options, Progress);
            if (result == ChartResult::ForeignFormat) {
                // Taken over: the next save writes the accounts under this file's format.
                Saved = false;
                result = 0;
            } else if (result == 0 && fromDefault && Count() > 0) {
                // The year has no file of its own yet: the next save writes it.
                Saved = false;
            }
        }
    } catch (...) {
        EnsureSuspenseAccount();
        CurrentIndex = Count() > 0 ? 0 : -1;
        FileNameOverride.clear();
        throw;
    }
    EnsureSuspenseAccount();
    CurrentIndex = Count() > 0 ? 0 : -1;
    FileNameOverride.clear();
    return result;
}

void TAccountsChart::WriteItems(QIODevice& /*Stream*/, TValueWriter& Writer, IProgress* Progress) {
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        GetAccount(i)->WriteToStream(Writer);
        ReportWriteProgress(Progress, i + 1, count);
    }
}

void TAccountsChart::ReadItems(QIODevice& Stream, TValueReader& Reader, IProgress* Progress,
                               const TOptionSet& Options) {
    while (!Reader.EndOfList()) {
        auto account = std::make_unique<TAccountDetail>(AccountFormat, 0.0);
        account->ReadFromStream(Reader);
        AddReadItem(std::move(account), Options);
        ReportReadProgress(Progress, Stream);
    }
}

void TAccountsChart::MergeItem(TMasterChartItem& Held, const TMasterChartItem& Read) {
    static_cast<TAccountDetail&>(Held).CopyFrom(static_cast<const TAccountDetail&>(Read), true);
}
