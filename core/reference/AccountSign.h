#pragma once

#include <QString>
#include <utility>

// The normal sign of an account's balance ("CR" or "DR"): one row of the "ACCOUNT SIGNS" table.
class TAccountSign {
public:
    explicit TAccountSign(QString description) : Description(std::move(description)) {}

    QString Description;
};
