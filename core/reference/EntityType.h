#pragma once

#include <QString>
#include <utility>

// A kind of entity a client file keeps books for (a company, a trust, a superannuation fund, ...): one row of
// the "ENTITY TYPES" table, listed under its code.
class TEntityType {
public:
    explicit TEntityType(QString description) : Description(std::move(description)) {}

    QString Description;
};
