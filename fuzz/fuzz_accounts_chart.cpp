// Loads arbitrary bytes as a client's accounts chart file (both answers to the question about a
// chart of another account format, silent and with the Retry/Ignore box answered Ignore). A
// chart that loads is saved and loaded again and must come back with the same accounts. Only
// the reported failures may happen: no crash, no leak, no runaway allocation.
#include "core/charts/AccountsChart.h"
#include "fuzz/FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// Ignore where offered (so a failed load never retries), else OK or Cancel as the input's
// first byte says.
struct TFixture : fuzz::TChartFixture {
    TFixture() : TChartFixture(QStringLiteral("M_DETAIL"), QStringLiteral("ABC12306.ADF")) {
        Entity.EntityType = QStringLiteral("NSP");
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TFixture& fixture = fuzz::SharedFixture<TFixture>();
    fixture.WriteInput(fuzz::InputBytes(data, size));
    fixture.Prompt->Otherwise = size > 0 && (data[0] & 1) != 0 ? TMessageButton::OK : TMessageButton::Cancel;
    TOptionSet options{Option::Silent};
    if (size > 1 && (data[1] & 1) != 0)
        options = TOptionSet{Option::MergeReplace};

    TAccountsChart chart(fixture.Entity, fixture.Format, {}, 2006);
    const int result = chart.LoadFromFile(options);
    if (result != 0 || chart.IsSaveBlocked())
        return 0;

    fuzz::SaveAndLoadAgain(
        chart,
        [&] { return std::make_unique<TAccountsChart>(fixture.Entity, fixture.Format, TOptionSet{}, 2006); },
        [](const TAccountsChart& a, const TAccountsChart& b, int i) { return b.GetCode(i) == a.GetCode(i); });
    return 0;
}
