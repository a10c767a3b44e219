#include "platform/printing/PrinterList.h"

#include <QPrinterInfo>

QString TPrinterList::PdfPrinterName() {
    return QStringLiteral("Print to PDF file");
}

QStringList TPrinterList::Printers() const {
    QStringList names = QPrinterInfo::availablePrinterNames();
    names.removeAll(PdfPrinterName());
    names.append(PdfPrinterName());
    return names;
}

int TPrinterList::DefaultPrinterIndex() const {
    const QStringList names = Printers();
    const int system = names.indexOf(QPrinterInfo::defaultPrinterName());
    if (system >= 0)
        return system;
    return names.isEmpty() ? -1 : 0;
}
