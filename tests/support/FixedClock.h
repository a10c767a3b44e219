#pragma once

#include "core/services/Clock.h"

class TFixedClock : public IClock {
public:
    explicit TFixedClock(QDateTime now) : Current(std::move(now)) {}
    QDateTime Now() const override { return Current; }
    QDateTime Current;
};
