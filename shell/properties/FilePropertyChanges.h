#pragma once

#include <QString>
#include <QtGlobal>

class TEntityDetail;

// The fields of a file's record that open windows depend on, as they stood at one moment: the
// name (the Active File list shows it) and what data entry works with.
struct TFilePropertySnapshot {
    QString Name;
    quint8 Contras = 0;
    bool Quantity = false;
    bool CurrencyConv = false;
    bool Tax = false;
    int Periods = 0;

    static TFilePropertySnapshot Of(const TEntityDetail& detail);
};

// What the properties sheet changed: the name, the contra interval, the quantity or
// currency-conversion option, the taxes option, the periods per year.
struct TFilePropertyChanges {
    bool Name = false;
    bool Contras = false;
    bool QuantityOrCurrency = false;
    bool Taxes = false;
    bool Periods = false;

    static TFilePropertyChanges Between(const TFilePropertySnapshot& before,
                                        const TFilePropertySnapshot& after);
    // Whether anything that data entry works with changed.
    bool DataEntry() const { return Contras || QuantityOrCurrency || Taxes || Periods; }
};
