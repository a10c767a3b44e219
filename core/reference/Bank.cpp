#include "core/reference/Bank.h"

#include <utility>

TBank::TBank(QString name, QString details) : Name(std::move(name)), Details(std::move(details)) {}

TBank TBank::FromValue(const QString& value) {
    const qsizetype comma = value.indexOf(QLatin1Char(','));
    if (comma < 0)
        return TBank(value, QString());
    return TBank(value.left(comma), value.mid(comma + 1));
}
