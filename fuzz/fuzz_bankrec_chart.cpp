// Loads arbitrary bytes as a client's bank-reconciliation opening file over the bank accounts of
// a chart of accounts, with the Retry/Ignore box answered Ignore. Whatever the file holds, every
// detail belongs to a bank account and has a slot of its own (0-34) naming its files. A chart
// that loads is saved and loaded again and must come back with the same details and slots.
// Only the reported failures may happen: no crash, no leak, no runaway allocation.
#include "core/charts/AccountsChart.h"
#include "core/charts/BankRecOpeningDetailChart.h"
#include "fuzz/FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

struct TFixture : fuzz::TChartFixture {
    TFixture() : TChartFixture(QStringLiteral("BANK_REC"), QStringLiteral("ABC12306.BOB")) {
        Accounts = std::make_unique<TAccountsChart>(Entity, Format, TOptionSet{}, 2006);
        // Bank accounts 2000 to 2005 (stored parts: branch and division absent, 0x07D0 on).
        for (int number = 2000; number < 2006; ++number) {
            auto account = std::make_unique<TAccountDetail>(Format);
            TAccountCode code;
            code.Account = static_cast<qint16>(number);
            account->SetCode(code);
            account->DeriveAccountType(QStringLiteral("BNK"));
            Accounts->AddAccount(std::move(account));
        }
    }

    std::unique_ptr<TAccountsChart> Accounts;
};

void CheckSlots(const TBankRecOpeningDetailChart& chart) {
    if (chart.Count() > TBankRecOpeningDetailChart::MaxDetails)
        std::abort();
    quint64 used = 0;
    for (int i = 0; i < chart.Count(); ++i) {
        const TBRecOpeningDetail* detail = chart.GetDetail(i);
        if (detail->Slot < 0 || detail->Slot >= TBRecOpeningDetail::SlotCount ||
            (used >> detail->Slot & 1) != 0)
            std::abort();
        used |= quint64{1} << detail->Slot;
        if (chart.AccountsChart()->IndexOfCode(detail->BankAccount) < 0 || detail->UnmatchedFile.isEmpty())
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TFixture& fixture = fuzz::SharedFixture<TFixture>();
    fixture.WriteInput(fuzz::InputBytes(data, size));
    TOptionSet options;
    if (size > 0 && (data[0] & 1) != 0)
        options.Include(Option::Silent);

    TBankRecOpeningDetailChart chart(fixture.Entity, fixture.Accounts.get(), fixture.Format, {}, 2006);
    const int result = chart.LoadFromFile(options);
    CheckSlots(chart);
    if (result != 0 || chart.IsSaveBlocked())
        return 0;

    const auto again = fuzz::SaveAndLoadAgain(
        chart,
        [&] {
            return std::make_unique<TBankRecOpeningDetailChart>(fixture.Entity, fixture.Accounts.get(),
                                                                fixture.Format, TOptionSet{}, 2006);
        },
        [](const TBankRecOpeningDetailChart& first, const TBankRecOpeningDetailChart& second, int i) {
            const TBRecOpeningDetail* a = first.GetDetail(i);
            const TBRecOpeningDetail* b = second.GetDetail(i);
            return a->BankAccount == b->BankAccount && a->Slot == b->Slot && a->Completed == b->Completed &&
                   a->Cashbook_Open_Bal == b->Cashbook_Open_Bal && a->Reconciled_To == b->Reconciled_To &&
                   a->UnmatchedFile == b->UnmatchedFile;
        });
    CheckSlots(*again);
    return 0;
}
