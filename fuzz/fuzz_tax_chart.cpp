// Loads arbitrary bytes as a client's tax-rates file, either whole or as the items behind a
// header of version "V5.3" or "V5.01" (so both item layouts are reached), with the Retry/Ignore
// box answered Ignore. The format's default codes are there to fall back on and the tax
// accounts are checked against a chart of accounts. A chart that loads keeps the 32-code and
// unique-bit rules; it is saved and loaded again and must come back with the same codes and
// bits. Only the reported failures may happen: no crash, no leak, no runaway allocation.
#include "core/charts/AccountsChart.h"
#include "core/charts/TaxRateChart.h"
#include "fuzz/FuzzSupport.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

// "Tax Rates,V5.3" / "Tax Rates,V5.01", "ABC123", no key, begin of list.
const QByteArray Header53 = QByteArray::fromHex("070E5461782052617465732C56352E330706414243313233070001");
const QByteArray Header501 = QByteArray::fromHex("070F5461782052617465732C56352E30310706414243313233070001");
// The defaults: GST, type 0, label G17, account 3100, 10 %, no dates; end of list.
const QByteArray DefaultItems = QByteArray::fromHex("0603475354"
                                                    "0200"
                                                    "0600"
                                                    "0603473137"
                                                    "02FF02FF031C0C02FF"
                                                    "0500000000000000A00240"
                                                    "0500000000000000000000"
                                                    "0500000000000000000000"
                                                    "00");

struct TFixture : fuzz::TChartFixture {
    TFixture() : TChartFixture(QStringLiteral("M_DETAIL"), QStringLiteral("ABC12306.TXR")) {
        Entity.EntityType = QStringLiteral("NSP");
        Accounts = std::make_unique<TAccountsChart>(Entity, Format, TOptionSet{}, 2006);
        Accounts->EnsureSuspenseAccount();
        const QString defaults =
            Folder.filePath(QStringLiteral("M_DETAIL/") + Format->BaseName + QStringLiteral(".TXR"));
        if (!fuzz::WriteInputFile(defaults, Header53 + DefaultItems))
            std::abort();
    }

    std::unique_ptr<TAccountsChart> Accounts;
};

void CheckBits(const TTaxRateChart& chart) {
    if (chart.Count() > TTaxRateChart::MaxTaxCodes)
        std::abort();
    quint32 mask = 0;
    for (int i = 0; i < chart.Count(); ++i) {
        const int type = chart.GetTaxRate(i)->TaxType;
        if (type < 0 || type >= TTaxRateChart::MaxTaxCodes || (mask & (quint32{1} << type)) != 0)
            std::abort();
        mask |= quint32{1} << type;
    }
    if (mask != chart.TypeMask)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TFixture& fixture = fuzz::SharedFixture<TFixture>();
    if (size == 0)
        return 0;
    const QByteArray rest(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    QByteArray content;
    switch (data[0] % 3) {
    case 0:
        content = rest;
        break;
    case 1:
        content = Header53 + rest;
        break;
    default:
        content = Header501 + rest;
        break;
    }
    fixture.WriteInput(content);
    TOptionSet options;
    if ((data[0] & 0x10) != 0)
        options.Include(Option::Silent);
    if ((data[0] & 0x20) != 0)
        options.Include(Option::MergeReplace);

    TTaxRateChart chart(fixture.Entity, fixture.Accounts.get(), fixture.Format, {}, 2006);
    const int result = chart.LoadFromFile(options);
    CheckBits(chart);
    if (result != 0 || chart.IsSaveBlocked() || chart.Count() == 0)
        return 0;

    const auto again = fuzz::SaveAndLoadAgain(
        chart,
        [&] {
            return std::make_unique<TTaxRateChart>(fixture.Entity, fixture.Accounts.get(), fixture.Format,
                                                   TOptionSet{}, 2006);
        },
        [](const TTaxRateChart& first, const TTaxRateChart& second, int i) {
            const TTaxRate* a = first.GetTaxRate(i);
            const TTaxRate* b = second.GetTaxRate(i);
            return a->Tax_Code == b->Tax_Code && a->TaxType == b->TaxType && a->BAS == b->BAS &&
                   a->StartDate == b->StartDate && a->EndDate == b->EndDate && a->TaxAccount == b->TaxAccount;
        });
    if (!again->Saved)
        std::abort();
    CheckBits(*again);
    return 0;
}
