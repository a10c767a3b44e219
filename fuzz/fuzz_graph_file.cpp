// Reads arbitrary bytes as a graph file: the reader either refuses them with its error or gives
// back a content whose counts agree with its lists, which then writes and reads back the same.
#include "controls/chart/GraphFile.h"
#include "core/common/Exceptions.h"
#include "fuzz/FuzzSupport.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray bytes = fuzz::InputBytes(data, size);
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    TChartContent content;
    try {
        content = ReadGraphStream(device, QStringLiteral("fuzz.qvg"));
    } catch (const EQuilvaneError&) {
        return 0;
    }
    fuzz::Check(content.Values.size() == static_cast<qsizetype>(content.Series) * content.Points);
    fuzz::Check(content.PointLegends.size() <= content.Points);
    fuzz::Check(content.SeriesLegends.size() <= content.Series);
    fuzz::Check(content.ConstantLegends.size() <= content.ConstantValues.size());
    QByteArray written;
    QBuffer out(&written);
    out.open(QIODevice::WriteOnly);
    WriteGraphStream(content, out);
    out.close();
    out.open(QIODevice::ReadOnly);
    fuzz::Check(ReadGraphStream(out, QStringLiteral("again.qvg")) == content);
    return 0;
}
