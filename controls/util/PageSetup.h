#pragma once

#include <QFont>
#include <QPageLayout>
#include <QString>

class QPaintDevice;

// How a report is laid out on the page: its font, copies and orientation (printers only), its
// margins, and what applying it to a device measured.
struct TPageSetup {
    QString FontName;
    int FontSize = 10;
    int Copies = 1;
    QPageLayout::Orientation Orientation = QPageLayout::Portrait;
    // Margins in millimetres.
    double LeftMargin = 0;
    double TopMargin = 0;
    double RightMargin = 0;
    double BottomMargin = 0;

    // Filled by ApplyPageSetup: the font to draw with, and sizes in the device's units.
    QFont Font;
    int LeftMarginDevice = 0;
    int TopMarginDevice = 0;
    int RightMarginDevice = 0;
    int BottomMarginDevice = 0;
    int LineHeight = 0;
    int CharsPerLine = 0;
};

// The report defaults: the fixed-pitch font "Courier New" (a fixed-pitch font stands in where
// it is not installed).
void SetupReportPrinter(TPageSetup& setup);

// Applies a page set-up to the device a report is drawn on, before drawing begins: makes the
// font, and on a printer sets the copies and orientation; measures "W" to set the line height
// (1.2 times the text height, rounded) and the characters per line (printable width over the
// width of "W"), and converts the margins to device units (never below 0).
void ApplyPageSetup(QPaintDevice& device, TPageSetup& setup);
