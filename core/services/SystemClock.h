#pragma once

#include "core/services/Clock.h"

// The system's local date and time. The time zone is read once a process, at the first reading
// of the clock: every later reading only converts the system time with it (a zone changed while
// the program runs counts from its next start). A reading costs no file look-up, so that making
// accounts one at a time, each stamped with the time, stays cheap.
class TSystemClock : public IClock {
public:
    QDateTime Now() const override;
};
