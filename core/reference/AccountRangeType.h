#pragma once

#include <QString>
#include <utility>

// A named range of account codes that every account format defines ("ALL" holds the values every part may
// take): one row of the "ACCOUNT RANGE TYPES" table.
class TAccountRangeType {
public:
    explicit TAccountRangeType(QString description) : Description(std::move(description)) {}

    QString Description;
};
