#pragma once

#include <QString>
#include <utility>

// A country a client may be in: one row of the "COUNTRIES" table.
class TCountry {
public:
    explicit TCountry(QString description) : Description(std::move(description)) {}

    QString Description;
};
