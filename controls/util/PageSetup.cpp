#include "controls/util/PageSetup.h"

#include "core/util/Numbers.h"

#include <QFont>
#include <QFontMetrics>
#include <QPrinter>

namespace {

constexpr double MillimetresPerInch = 25.4;

int ToDevice(double millimetres, int dotsPerInch) {
    return qMax(0, static_cast<int>(RoundHalfEven(millimetres * dotsPerInch / MillimetresPerInch)));
}

} // namespace

void SetupReportPrinter(TPageSetup& setup) {
    setup.FontName = QStringLiteral("Courier New");
}

void ApplyPageSetup(QPaintDevice& paintDevice, TPageSetup& setup) {
    QPaintDevice* device = &paintDevice;
    QFont font(setup.FontName);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    if (setup.FontSize > 0)
        font.setPointSize(setup.FontSize);
    setup.Font = font;
    if (auto* printer = dynamic_cast<QPrinter*>(device)) {
        printer->setCopyCount(qMax(1, setup.Copies));
        printer->setPageOrientation(setup.Orientation);
    }
    const QFontMetrics metrics(setup.Font, device);
    const int wWidth = qMax(1, metrics.horizontalAdvance(QLatin1Char('W')));
    setup.LineHeight = static_cast<int>(RoundHalfEven(metrics.height() * 1.2));
    setup.LeftMarginDevice = ToDevice(setup.LeftMargin, device->logicalDpiX());
    setup.RightMarginDevice = ToDevice(setup.RightMargin, device->logicalDpiX());
    setup.TopMarginDevice = ToDevice(setup.TopMargin, device->logicalDpiY());
    setup.BottomMarginDevice = ToDevice(setup.BottomMargin, device->logicalDpiY());
    const int printable = device->width() - setup.LeftMarginDevice - setup.RightMarginDevice;
    setup.CharsPerLine = qMax(0, printable) / wWidth;
}
