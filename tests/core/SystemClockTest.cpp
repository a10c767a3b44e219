// The system clock: local time of the process's zone, the zone read once.
#include "core/services/SystemClock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>

namespace {
std::atomic<int> ZoneReads{0};
} // namespace

// Every read of the time zone, by this program or by Qt, goes through tzset: counted here, then
// passed on.
extern "C" void tzset() noexcept {
    ++ZoneReads;
    static const auto system = reinterpret_cast<void (*)()>(dlsym(RTLD_NEXT, "tzset"));
    if (system)
        system();
}

namespace {

TEST(SystemClock, ReadsTheZoneOnceAProcess) {
    const TSystemClock clock;
    QDateTime last = clock.Now();
    const int before = ZoneReads.load();
    for (int i = 0; i < 1000; ++i)
        last = clock.Now();
    EXPECT_EQ(ZoneReads.load() - before, 0);
    EXPECT_EQ(TSystemClock().Now().date(), last.date());
    EXPECT_EQ(ZoneReads.load() - before, 0);
}

// In a process of its own, started in a zone with daylight saving: the clock reads what the system
// reads there.
TEST(SystemClockDeathTest, ReadsTheLocalTimeOfTheProcessZone) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("TZ", "AEST-10AEDT,M10.1.0,M4.1.0/3", 1);
            const QDateTime now = TSystemClock().Now();
            const QDateTime system = QDateTime::currentDateTime();
            const bool same = now.offsetFromUtc() == system.offsetFromUtc() && now.offsetFromUtc() >= 36000 &&
                              std::llabs(now.toMSecsSinceEpoch() - system.toMSecsSinceEpoch()) < 2000 &&
                              std::llabs(now.time().msecsTo(system.time())) < 2000;
            std::exit(same ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

} // namespace
