#include "core/reference/AccountType.h"

#include <utility>

TAccountType::TAccountType(QString description, bool flag)
    : Description(std::move(description)), Flag(flag) {}

TAccountType TAccountType::FromValue(const QString& value) {
    const QString description = value.section(QLatin1Char(','), 0, 0);
    const QString flag = value.section(QLatin1Char(','), 1, 1).trimmed();
    return TAccountType(description, flag == QLatin1String("N"));
}
