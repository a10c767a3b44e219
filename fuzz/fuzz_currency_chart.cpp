// Loads arbitrary bytes as a client's currency-rates file over the program's currency list,
// with the Retry/Ignore box answered Ignore. A chart that loads is saved and loaded again and
// must come back with the same currencies, symbols and rates. Only the reported failures may
// happen: no crash, no leak, no runaway allocation.
#include "core/charts/CurrConvRatesChart.h"
#include "fuzz/FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

struct TFixture : fuzz::TChartFixture {
    TFixture() : TChartFixture(QStringLiteral("M_DETAIL"), QStringLiteral("ABC12306.CCR")) {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TFixture& fixture = fuzz::SharedFixture<TFixture>();
    fixture.WriteInput(fuzz::InputBytes(data, size));
    TOptionSet options;
    if (size > 0 && (data[0] & 1) != 0)
        options.Include(Option::Silent);

    TCurrConvRatesChart chart(fixture.Entity, {}, 2006);
    const int result = chart.LoadFromFile(options);
    if (chart.Count() < ProgramParams().Currencies.Count())
        std::abort(); // the listed currencies are always there
    if (result != 0 || chart.IsSaveBlocked())
        return 0;

    fuzz::SaveAndLoadAgain(
        chart, [&] { return std::make_unique<TCurrConvRatesChart>(fixture.Entity, TOptionSet{}, 2006); },
        [](const TCurrConvRatesChart& first, const TCurrConvRatesChart& second, int i) {
            const TCurrencyConvRate* a = first.GetConvRate(i);
            const TCurrencyConvRate* b = second.GetConvRate(i);
            return a->Currency_Code == b->Currency_Code &&
                   a->Currency_Description == b->Currency_Description &&
                   a->Currency_Symbol == b->Currency_Symbol && a->Currency_Rate == b->Currency_Rate;
        });
    return 0;
}
