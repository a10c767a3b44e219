#pragma once

#include <QString>

// A currency a file may keep foreign amounts in: one row of the "CURRENCY" table, stored as
// "description,number,rate". As shipped the number is the currency's ISO 4217 numeric code and
// the rate a starting conversion rate; the currency windows give them their use.
class TCurrency {
public:
    TCurrency(QString description, int number, double rate);

    // Reads a stored row. The number is 0 when it is not an integer; a rate that is not a
    // decimal number raises EQuilvaneError. Numbers in stored text always use "." for the
    // decimal point, whatever the workstation's locale ("," is read as a point too).
    static TCurrency FromValue(const QString& value);

    QString Description;
    int Number = 0;
    double Rate = 0.0;
};
