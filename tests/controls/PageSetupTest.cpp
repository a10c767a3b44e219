#include "controls/util/PageSetup.h"

#include <QFontMetrics>
#include <QImage>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

TEST(PageSetup, MeasuresLinesAndMarginsOnTheDevice) {
    // 96 dots per inch: 25.4 mm is 96 dots.
    QImage page(960, 1200, QImage::Format_RGB32);
    page.setDotsPerMeterX(3780);
    page.setDotsPerMeterY(3780);
    TPageSetup setup;
    SetupReportPrinter(setup);
    EXPECT_EQ(setup.FontName, "Courier New");
    setup.FontSize = 10;
    setup.LeftMargin = 25.4;
    setup.RightMargin = 12.7;
    setup.TopMargin = -5;
    setup.BottomMargin = 0;

    ApplyPageSetup(page, setup);
    EXPECT_EQ(setup.Font.pointSize(), 10);
    EXPECT_EQ(setup.LeftMarginDevice, 96);
    EXPECT_EQ(setup.RightMarginDevice, 48);
    EXPECT_EQ(setup.TopMarginDevice, 0);

    const QFontMetrics metrics(setup.Font, &page);
    EXPECT_EQ(setup.LineHeight, static_cast<int>(std::nearbyint(metrics.height() * 1.2)));
    const int w = metrics.horizontalAdvance(QLatin1Char('W'));
    EXPECT_EQ(setup.CharsPerLine, (960 - 96 - 48) / w);
    // The fixed-pitch stand-in: "W" and "i" take the same room.
    EXPECT_EQ(w, metrics.horizontalAdvance(QLatin1Char('i')));
}

TEST(PageSetup, PrinterTakesCopiesAndOrientation) {
    QTemporaryDir temp;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(temp.filePath(QStringLiteral("report.pdf")));
    TPageSetup setup;
    SetupReportPrinter(setup);
    setup.Copies = 3;
    setup.Orientation = QPageLayout::Landscape;
    ApplyPageSetup(printer, setup);
    EXPECT_EQ(printer.copyCount(), 3);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    // Landscape A4 or Letter is wider than it is tall; the line holds more than a portrait one.
    const int landscapeChars = setup.CharsPerLine;
    setup.Orientation = QPageLayout::Portrait;
    ApplyPageSetup(printer, setup);
    EXPECT_GT(landscapeChars, setup.CharsPerLine);
    EXPECT_GT(setup.CharsPerLine, 0);
}
