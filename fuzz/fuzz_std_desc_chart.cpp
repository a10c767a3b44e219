// Loads arbitrary bytes as a client's standard-descriptions file, silently, and checks that a
// load either fails cleanly or leaves a chart whose keys are in strict order, every one found
// again by lookup; every description is then expanded. Nothing may crash or hang.
#include "core/charts/StdDescChart.h"
#include "fuzz/FuzzSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

namespace {

QTemporaryDir& Folder() {
    static QTemporaryDir folder;
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QTemporaryDir& folder = Folder();
    if (!folder.isValid())
        return 0;
    QDir().mkpath(folder.filePath(QStringLiteral("M_DETAIL")));
    if (!fuzz::WriteInputFile(folder.filePath(QStringLiteral("M_DETAIL/FUZ00006.STD")),
                              fuzz::InputBytes(data, size)))
        return 0;

    TChartEntity entity;
    entity.FileCode = QStringLiteral("FUZ000");
    entity.EntityType = QStringLiteral("NSP");
    entity.DataDir = folder.path();
    // Silent: failures give a result, never a box.
    TStdDescChart chart(entity, {Option::Silent}, 2006);
    const int result = chart.LoadFromFile({Option::Silent, Option::MustExist});
    fuzz::Check(result == 0 || result == -1 || result == ChartResult::WrongKind);
    fuzz::Check(result == 0 || (chart.Count() == 0 && chart.IsSaveBlocked()));

    const TMasterChartStringList& items = chart.GetItems();
    for (int i = 0; i < chart.Count(); ++i) {
        fuzz::Check(i == 0 || items.Compare(chart.GetCode(i - 1), chart.GetCode(i)) < 0);
        fuzz::Check(chart.IndexOf(chart.GetCode(i)) == i);
        chart.ExpandAbbreviations(chart.GetStdDescription(i)->Description);
    }
    return 0;
}
