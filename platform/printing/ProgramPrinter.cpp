#include "platform/printing/ProgramPrinter.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPrinter>
#include <algorithm>

QPrinter& ProgramPrinter() {
    static QPrinter printer(QPrinter::HighResolution);
    static const bool prepared = (UseDefaultMargins(printer), true);
    Q_UNUSED(prepared);
    return printer;
}

void UseDefaultMargins(QPrinter& printer) {
    printer.setFullPage(false);
    const QMarginsF wanted(DefaultPrintMarginMm, DefaultPrintMarginMm, DefaultPrintMarginMm, DefaultPrintMarginMm);
    if (!printer.setPageMargins(wanted, QPageLayout::Millimeter)) {
        // Below the printer's least margins: take the larger of each.
        QPageLayout layout = printer.pageLayout();
        layout.setUnits(QPageLayout::Millimeter);
        const QMarginsF least = layout.minimumMargins();
        printer.setPageMargins(QMarginsF(std::max(wanted.left(), least.left()), std::max(wanted.top(), least.top()),
                                         std::max(wanted.right(), least.right()),
                                         std::max(wanted.bottom(), least.bottom())),
                               QPageLayout::Millimeter);
    }
}
