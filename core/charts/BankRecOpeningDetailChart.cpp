#include "core/charts/BankRecOpeningDetailChart.h"

#include "core/accounts/AccountFormat.h"
#include "core/charts/AccountsChart.h"
#include "core/common/Exceptions.h"
#include "core/dates/Periods.h"
#include "core/io/ValueReader.h"
#include "core/io/ValueWriter.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"
#include "core/vocab/FileVocabulary.h"

#include <array>

TBankRecOpeningDetailChart::TBankRecOpeningDetailChart(const TChartEntity& entity, TAccountsChart* accounts,
                                                       const TAccountFormat* format,
                                                       const TOptionSet& options, int year)
    : TMasterChart(entity, year), Accounts(accounts), AccountFormat(format) {
    if (!AccountFormat && accounts)
        AccountFormat = accounts->Format();
    if (!AccountFormat && HasProgramParams())
        AccountFormat = ProgramParams().FindAccountFormat(entity.AccFormatID);
    SetFileHeader(BankRecOpeningHeader.Kind.toString(), BankRecOpeningHeader.Version.toString(),
                  ckBankRecOpening, QString());
    if (options.Has(Option::Load))
        LoadFromFile(options);
}

int TBankRecOpeningDetailChart::AddItem(std::unique_ptr<TMasterChartItem> Item) {
    auto* detail = dynamic_cast<TBRecOpeningDetail*>(Item.get());
    if (!detail)
        return -1;
    if (!detail->Format)
        detail->Format = AccountFormat;
    return TMasterChart::AddItem(std::move(Item));
}

int TBankRecOpeningDetailChart::IndexOfAccount(const TAccountCode& Code) const {
    if (!AccountFormat)
        return -1;
    return IndexOf(AccountFormat->FormatCode(Code));
}

TBRecOpeningDetail* TBankRecOpeningDetailChart::GetDetail(int Index) const {
    return static_cast<TBRecOpeningDetail*>(GetItem(Index));
}

TAccountDetail* TBankRecOpeningDetailChart::GetBankAccount(int Index) const {
    const TBRecOpeningDetail* detail = GetDetail(Index);
    if (!detail || !Accounts)
        return nullptr;
    return Accounts->GetAccount(Accounts->IndexOfCode(detail->BankAccount));
}

QChar TBankRecOpeningDetailChart::GetCurrencySymbol(int Index) const {
    const TAccountDetail* account = GetBankAccount(Index);
    return account ? account->GetCurrencySymbol() : QLatin1Char(' ');
}

void TBankRecOpeningDetailChart::GetCodeWithCurrency(int Index, QString& Text) const {
    Text.clear();
    const TBRecOpeningDetail* detail = GetDetail(Index);
    if (detail && Accounts)
        Accounts->GetCodeWithCurrency(Accounts->IndexOfCode(detail->BankAccount), Text);
}

void TBankRecOpeningDetailChart::InitDetailDates(TBRecOpeningDetail& Detail) const {
    Detail.Completed = false;
    if (Year == -1)
        return;
    try {
        Detail.Open_Bal_Date = PeriodStartDate(1, Year, 1, Entity.EndMonth);
        Detail.PeriodEnd = PeriodEndDate(1, Year, 12, Entity.EndMonth);
    } catch (const EQuilvaneError&) {
        // A year or year-end month that names no financial year: the dates stay as they are.
    }
}

bool TBankRecOpeningDetailChart::CheckCompleted(int Index) const {
    const TBRecOpeningDetail* detail = GetDetail(Index);
    if (!detail)
        return false;
    if (detail->Completed)
        return true;
    MessageBeepAndShow(TServices::Prompt(), TMessageKind::Warning,
                       QStringLiteral("Reconciliation not completed for account ") +
                           detail->GetBankAccountText(),
                       TMessageButton::OK);
    return false;
}

void TBankRecOpeningDetailChart::ResetDetail(int Index) {
    TBRecOpeningDetail* detail = GetDetail(Index);
    if (!detail)
        return;
    detail->Completed = false;
    detail->Flag2 = false;
    detail->UnmatchedFile.clear();
    detail->MatchedFile.clear();
    detail->Slot = TBRecOpeningDetail::NoSlot;
    if (TAccountDetail* account = GetBankAccount(Index); account && account->BankDetails)
        account->BankDetails->Flag2 = false;
    Saved = false;
}

QList<TBankAccountSeed> TBankRecOpeningDetailChart::BankAccounts() const {
    QList<TBankAccountSeed> seeds;
    if (!Accounts)
        return seeds;
    int start = 0;
    if (const TAccountFormat* format = Accounts->Format()) {
        const int group = format->IndexOfRangeType(QStringLiteral("BSH"));
        if (group >= 0) {
            start = Accounts->FirstAccountInGroup(format->Ranges, group);
            if (start < 0)
                return seeds; // no account in the balance-sheet range: no bank accounts
        }
    }
    for (int i = start; i < Accounts->Count(); ++i) {
        const TAccountDetail* account = Accounts->GetAccount(i);
        if (account && account->BankDetails)
            seeds.append(TBankAccountSeed{account->Code(), account->GetBankCurrency()});
    }
    return seeds;
}

void TBankRecOpeningDetailChart::SeedDetails(const QList<TBankAccountSeed>& BankAccounts) {
    int made = 0;
    for (const TBankAccountSeed& seed : BankAccounts) {
        if (made >= MaxDetails)
            break;
        auto detail = std::make_unique<TBRecOpeningDetail>(AccountFormat);
        detail->BankAccount = seed.Code;
        detail->Currency = seed.Currency;
        InitDetailDates(*detail);
        const int existing = IndexOfAccount(seed.Code);
        if (existing >= 0)
            DeleteItem(existing, true);
        if (AddItem(std::move(detail)) >= 0)
            ++made;
    }
}

bool TBankRecOpeningDetailChart::SlotTakenByOther(int Slot, const TBRecOpeningDetail* Detail) const {
    for (int i = 0; i < Count(); ++i) {
        const TBRecOpeningDetail* other = GetDetail(i);
        if (other != Detail && other->Slot == Slot)
            return true;
    }
    return false;
}

void TBankRecOpeningDetailChart::AssignFreeSlots() {
    std::array<bool, TBRecOpeningDetail::SlotCount> used{};
    for (int i = 0; i < Count(); ++i) {
        const int slot = GetDetail(i)->Slot;
        if (slot >= 0 && slot < TBRecOpeningDetail::SlotCount)
            used[static_cast<std::size_t>(slot)] = true;
    }
    for (int i = 0; i < Count(); ++i) {
        TBRecOpeningDetail* detail = GetDetail(i);
        if (detail->Slot == TBRecOpeningDetail::NoSlot) {
            for (int slot = 0; slot < TBRecOpeningDetail::SlotCount; ++slot) {
                if (!used[static_cast<std::size_t>(slot)]) {
                    used[static_cast<std::size_t>(slot)] = true;
                    detail->Slot = slot;
                    break;
                }
            }
        }
        detail->BuildFileNames(Entity.DataDir, Entity.FileCode, Year);
    }
}

int TBankRecOpeningDetailChart::LoadFromFile(const TOptionSet& Options, IProgress* Progress) {
    if (!Options.Has(Option::MergeLoad) && !Options.Has(Option::MergeReplace))
        Clear();
    SeedDetails(BankAccounts());
    // The caller's options travel on (the folder, year and silence they ask for); 28 makes the
    // stored details update the seeded ones.
    const int result = TMasterChart::LoadFromFile(Options.With(Option::MergeReplace), Progress);
    AssignFreeSlots();
    Saved = true;
    return result;
}

void TBankRecOpeningDetailChart::WriteItems(QIODevice& /*Stream*/, TValueWriter& Writer,
                                            IProgress* Progress) {
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        GetDetail(i)->WriteToStream(Writer);
        ReportWriteProgress(Progress, i + 1, count);
    }
}

void TBankRecOpeningDetailChart::ReadItems(QIODevice& Stream, TValueReader& Reader, IProgress* Progress,
                                           const TOptionSet& /*Options*/) {
    while (!Reader.EndOfList()) {
        TBRecOpeningDetail read(AccountFormat);
        read.ReadFromStream(Reader);
        ReportReadProgress(Progress, Stream);
        if (AccountFormat && !CodeTranslation.isEmpty()) {
            const auto it = CodeTranslation.constFind(AccountFormat->FormatCode(read.BankAccount));
            TAccountCode code;
            if (it != CodeTranslation.constEnd() && AccountFormat->TextToCode(it.value(), code, false, false))
                read.BankAccount = code;
        }
        TBRecOpeningDetail* held = GetDetail(IndexOfAccount(read.BankAccount));
        if (!held) {
            Saved = false; // no longer a bank account: dropped
            continue;
        }
        MergeItem(*held, read);
        if (held->Slot != TBRecOpeningDetail::NoSlot && SlotTakenByOther(held->Slot, held))
            held->Slot = TBRecOpeningDetail::NoSlot;
        held->BuildFileNames(Entity.DataDir, Entity.FileCode, Year);
    }
}

void TBankRecOpeningDetailChart::MergeItem(TMasterChartItem& Held, const TMasterChartItem& Read) {
    auto& held = static_cast<TBRecOpeningDetail&>(Held);
    const TAccountCode code = held.BankAccount;
    const QString currency = held.Currency;
    const TAccountFormat* format = held.Format;
    held.Assign(static_cast<const TBRecOpeningDetail&>(Read));
    held.BankAccount = code;
    held.Currency = currency;
    held.Format = format;
}
