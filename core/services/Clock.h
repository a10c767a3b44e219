#pragma once

#include <QDateTime>

// The current local date and time; tests install a fixed clock.
class IClock {
public:
    virtual ~IClock() = default;
    virtual QDateTime Now() const = 0;
};
