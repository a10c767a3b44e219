#pragma once

#include "platform/printing/PrinterProbe.h"

// The workstation's printers followed by the program's own PDF printer, which is always there,
// so a workstation without a printer can still print reports to PDF files. The default is the
// system's default printer, else the first system printer, else the PDF printer.
class TPrinterList : public IPrinterProbe {
public:
    static QString PdfPrinterName();

    QStringList Printers() const override;
    int DefaultPrinterIndex() const override;
};
