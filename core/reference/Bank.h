#pragma once

#include <QString>

// A bank: one row of the "BANKS" table, stored as "name,details". Everything after the first
// comma is the details text; a row without a comma is all name.
class TBank {
public:
    TBank(QString name, QString details);

    static TBank FromValue(const QString& value);

    QString Name;
    QString Details;
};
