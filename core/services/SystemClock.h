#pragma once

#include "core/services/Clock.h"

class TSystemClock : public IClock {
public:
    QDateTime Now() const override { return QDateTime::currentDateTime(); }
};
