// Loads arbitrary bytes as a chart file. The first byte chooses the chart (modulo 5: accounts,
// bank-reconciliation openings, currency rates, standard descriptions, tax rates) and the load:
// bit 3 silent, bit 4 merging (option 28), bit 5 OK to another account format, bits 6-7 a tax
// header "V5.3" (1) or "V5.01" (2) before the rest. The chart keeps its rules (keys in strict
// order, one bit per tax code, one slot per bank account); one that loads is saved, loaded and
// saved again to the same bytes. Only the reported failures may happen: no crash, no leak.
#include "core/charts/BankRecOpeningDetailChart.h"
#include "core/charts/CurrConvRatesChart.h"
#include "core/charts/StdDescChart.h"
#include "core/charts/TaxRateChart.h"
#include "fuzz/FuzzSupport.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

using fuzz::Check;

// "Tax Rates,V5.3" / "Tax Rates,V5.01", "ABC123", no key, begin of list.
const QByteArray Header53 = QByteArray::fromHex("070E5461782052617465732C56352E330706414243313233070001");
const QByteArray Header501 = QByteArray::fromHex("070F5461782052617465732C56352E30310706414243313233070001");
// The format's default tax code: GST, type 0, label G17, account 3100, 10 %, no dates.
const QByteArray DefaultTaxItems = QByteArray::fromHex("0603475354 0200 0600 0603473137 02FF02FF031C0C02FF"
                                                       "0500000000000000A00240 0500000000000000000000"
                                                       "0500000000000000000000 00");

// Client "ABC123" of the standard format in a temporary data folder; a chart of accounts with
// bank accounts 2000 to 2005 and a suspense account; the format's default tax codes.
struct TFixture {
    TFixture() : Prompt(fuzz::InstallPrompt()) {
        Check(Folder.isValid() && QDir(Folder.path()).mkpath("M_DETAIL") &&
              QDir(Folder.path()).mkpath("BANK_REC"));
        Entity = fuzz::ChartClient(Folder.path());
        Format = ProgramParams().FindAccountFormat(Entity.AccFormatID);
        Check(Format != nullptr);
        Accounts = std::make_unique<TAccountsChart>(Entity, Format, TOptionSet{}, 2006);
        fuzz::AddAccounts(*Accounts, Format, {2000, 2001, 2002, 2003, 2004, 2005});
        Accounts->EnsureSuspenseAccount();
        Check(fuzz::WriteInputFile(Folder.filePath("M_DETAIL/" + Format->BaseName + ".TXR"),
                                   Header53 + DefaultTaxItems));
    }

    QTemporaryDir Folder;
    std::shared_ptr<fuzz::TFuzzPrompt> Prompt;
    TChartEntity Entity;
    const TAccountFormat* Format = nullptr;
    std::unique_ptr<TAccountsChart> Accounts;
};

// Writes the input where the chart that make() gives looks for it, loads it and checks the
// chart; a chart that loaded cleanly is saved, loaded again, checked and saved again.
template <class TMake, class TCheck>
void Run(const QString& path, const QByteArray& input, const TOptionSet& options, TMake make, TCheck check) {
    Check(fuzz::WriteInputFile(path, input));
    auto chart = make();
    const int result = chart->LoadFromFile(options);
    check(*chart);
    fuzz::CheckKeyOrder(*chart);
    if (result != 0 || chart->IsSaveBlocked())
        return;
    TOptionSet none;
    Check(chart->SaveToFile(none) == 0);
    const QByteArray saved = fuzz::ReadFileBytes(path);
    auto again = make();
    Check(again->LoadFromFile({Option::Silent}) == 0 && again->Count() == chart->Count());
    check(*again);
    Check(again->SaveToFile(none) == 0 && fuzz::ReadFileBytes(path) == saved);
}

void CheckSlots(const TBankRecOpeningDetailChart& chart) {
    Check(chart.Count() <= TBankRecOpeningDetailChart::MaxDetails);
    quint64 used = 0;
    for (int i = 0; i < chart.Count(); ++i) {
        const TBRecOpeningDetail* detail = chart.GetDetail(i);
        Check(detail->Slot >= 0 && detail->Slot < TBRecOpeningDetail::SlotCount &&
              (used >> detail->Slot & 1) == 0);
        used |= quint64{1} << detail->Slot;
        Check(chart.AccountsChart()->IndexOfCode(detail->BankAccount) >= 0 &&
              !detail->UnmatchedFile.isEmpty());
    }
}

void CheckBits(const TTaxRateChart& chart) {
    Check(chart.Count() <= TTaxRateChart::MaxTaxCodes);
    quint32 mask = 0;
    for (int i = 0; i < chart.Count(); ++i) {
        const int type = chart.GetTaxRate(i)->TaxType;
        Check(type >= 0 && type < TTaxRateChart::MaxTaxCodes && (mask & (quint32{1} << type)) == 0);
        mask |= quint32{1} << type;
    }
    Check(mask == chart.TypeMask);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static TFixture fixture;
    if (size == 0)
        return 0;
    const std::uint8_t choice = data[0];
    const QByteArray rest = fuzz::InputBytes(data + 1, size - 1);
    TOptionSet options;
    if ((choice & 0x08) != 0)
        options.Include(Option::Silent);
    if ((choice & 0x10) != 0)
        options.Include(Option::MergeReplace);
    fixture.Prompt->Otherwise = (choice & 0x20) != 0 ? TMessageButton::OK : TMessageButton::Cancel;
    const TChartEntity& entity = fixture.Entity;
    const TAccountFormat* format = fixture.Format;
    TAccountsChart* accounts = fixture.Accounts.get();
    const auto path = [&](const char* name) { return fixture.Folder.filePath(name); };
    const auto nothing = [](const TMasterChart&) {};

    switch (choice % 5) {
    case 0:
        Run(
            path("M_DETAIL/ABC12306.ADF"), rest, options,
            [&] { return std::make_unique<TAccountsChart>(entity, format, TOptionSet{}, 2006); }, nothing);
        break;
    case 1:
        Run(
            path("BANK_REC/ABC12306.BOB"), rest, options,
            [&] {
                return std::make_unique<TBankRecOpeningDetailChart>(entity, accounts, format, TOptionSet{},
                                                                    2006);
            },
            CheckSlots);
        break;
    case 2:
        Run(
            path("M_DETAIL/ABC12306.CCR"), rest, options,
            [&] { return std::make_unique<TCurrConvRatesChart>(entity, TOptionSet{}, 2006); },
            [](const TCurrConvRatesChart& chart) {
                Check(chart.Count() >= ProgramParams().Currencies.Count());
            });
        break;
    case 3:
        Run(
            path("M_DETAIL/ABC12306.STD"), rest, options,
            [&] { return std::make_unique<TStdDescChart>(entity, TOptionSet{}, 2006); },
            [](const TStdDescChart& chart) {
                for (int i = 0; i < chart.Count(); ++i)
                    chart.ExpandAbbreviations(chart.GetStdDescription(i)->Description);
            });
        break;
    default:
        Run(
            path("M_DETAIL/ABC12306.TXR"),
            (choice >> 6) == 1   ? Header53 + rest
            : (choice >> 6) == 2 ? Header501 + rest
                                 : rest,
            options,
            [&] { return std::make_unique<TTaxRateChart>(entity, accounts, format, TOptionSet{}, 2006); },
            CheckBits);
        break;
    }
    return 0;
}
