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

int TBankRecOpeningDetailChart::AddItem(std::unique_ptr<TMasterChartItem> item) {
    auto* detail = dynamic_cast<TBRecOpeningDetail*>(item.get());
    if (!detail)
        return -1;
    if (!detail->Format)
        detail->Format = AccountFormat;
    return TMasterChart::AddItem(std::move(item));
}

int TBankRecOpeningDetailChart::IndexOfAccount(const TAccountCode& code) const {
    if (!AccountFormat)
        return -1;
    return IndexOf(AccountFormat->FormatCode(code));
}

TBRecOpeningDetail* TBankRecOpeningDetailChart::GetDetail(int index) const {
    return static_cast<TBRecOpeningDetail*>(GetItem(index));
}

TAccountDetail* TBankRecOpeningDetailChart::GetBankAccount(int index) const {
    const TBRecOpeningDetail* detail = GetDetail(index);
    if (!detail || !Accounts)
        return nullptr;
    return Accounts->GetAccount(Accounts->IndexOfCode(detail->BankAccount));
}

QChar TBankRecOpeningDetailChart::GetCurrencySymbol(int index) const {
    const TAccountDetail* account = GetBankAccount(index);
    return account ? account->GetCurrencySymbol() : QLatin1Char(' ');
}

void TBankRecOpeningDetailChart::GetCodeWithCurrency(int index, QString& text) const {
    text.clear();
    const TBRecOpeningDetail* detail = GetDetail(index);
    if (detail && Accounts)
        Accounts->GetCodeWithCurrency(Accounts->IndexOfCode(detail->BankAccount), text);
}

void TBankRecOpeningDetailChart::InitDetailDates(TBRecOpeningDetail& detail) const {
    detail.Completed = false;
    if (Year == -1)
        return;
    try {
        detail.Open_Bal_Date = PeriodStartDate(1, Year, 1, Entity.EndMonth);
        detail.PeriodEnd = PeriodEndDate(1, Year, 12, Entity.EndMonth);
    } catch (const EQuilvaneError&) {
        // A year or year-end month that names no financial year: the dates stay as they are.
    }
}

bool TBankRecOpeningDetailChart::CheckCompleted(int index) const {
    const TBRecOpeningDetail* detail = GetDetail(index);
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

void TBankRecOpeningDetailChart::ResetDetail(int index) {
    TBRecOpeningDetail* detail = GetDetail(index);
    if (!detail)
        return;
    detail->Completed = false;
    detail->Flag2 = false;
    detail->UnmatchedFile.clear();
    detail->MatchedFile.clear();
    detail->Slot = TBRecOpeningDetail::NoSlot;
    if (TAccountDetail* account = GetBankAccount(index); account && account->BankDetails)
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

void TBankRecOpeningDetailChart::SeedDetails(const QList<TBankAccountSeed>& bankAccounts) {
    int made = 0;
    for (const TBankAccountSeed& seed : bankAccounts) {
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

bool TBankRecOpeningDetailChart::SlotTakenByOther(int slot, const TBRecOpeningDetail* detail) const {
    for (int i = 0; i < Count(); ++i) {
        const TBRecOpeningDetail* other = GetDetail(i);
        if (other != detail && other->Slot == slot)
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

int TBankRecOpeningDetailChart::LoadFromFile(const TOptionSet& options, IProgress* progress) {
    if (!options.Has(Option::MergeLoad) && !options.Has(Option::MergeReplace))
        Clear();
    SeedDetails(BankAccounts());
    // The caller's options travel on (the folder, year and silence they ask for); 28 makes the
    // stored details update the seeded ones.
    const int result = TMasterChart::LoadFromFile(options.With(Option::MergeReplace), progress);
    AssignFreeSlots();
    Saved = true;
    return result;
}

void TBankRecOpeningDetailChart::WriteItems(QIODevice& /*Stream*/, TValueWriter& writer,
                                            IProgress* progress) {
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        GetDetail(i)->WriteToStream(writer);
        ReportWriteProgress(progress, i + 1, count);
    }
}

void TBankRecOpeningDetailChart::ReadItems(QIODevice& stream, TValueReader& reader, IProgress* progress,
                                           const TOptionSet& /*Options*/) {
    while (!reader.EndOfList()) {
        TBRecOpeningDetail read(AccountFormat);
        read.ReadFromStream(reader);
        ReportReadProgress(progress, stream);
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

void TBankRecOpeningDetailChart::MergeItem(TMasterChartItem& heldItem, const TMasterChartItem& readItem) {
    auto& held = static_cast<TBRecOpeningDetail&>(heldItem);
    const TAccountCode code = held.BankAccount;
    const QString currency = held.Currency;
    const TAccountFormat* format = held.Format;
    held = static_cast<const TBRecOpeningDetail&>(readItem);
    held.BankAccount = code;
    held.Currency = currency;
    held.Format = format;
}
