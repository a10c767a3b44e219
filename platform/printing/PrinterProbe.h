#pragma once

#include <QStringList>

// The printers the program can print to.
class IPrinterProbe {
public:
    virtual ~IPrinterProbe() = default;
    // Printer names, the default among them.
    virtual QStringList Printers() const = 0;
    // Index of the default printer in Printers(), -1 when there is none.
    virtual int DefaultPrinterIndex() const = 0;
};
