#include "core/services/SystemClock.h"

#include <algorithm>
#include <ctime>
#include <mutex>

QDateTime TSystemClock::Now() const {
    // tzset reads the zone (the TZ variable, else the system's zone file); localtime_r converts
    // with what it read and does not read again.
    static std::once_flag zoneRead;
    std::call_once(zoneRead, [] { tzset(); });
    timespec now{};
    tm local{};
    if (clock_gettime(CLOCK_REALTIME, &now) != 0 || !localtime_r(&now.tv_sec, &local))
        return QDateTime::currentDateTime();
    // A leap second reads as the last second of its minute.
    const QTime time(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59),
                     static_cast<int>(now.tv_nsec / 1000000));
    return QDateTime(QDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday), time, Qt::OffsetFromUTC,
                     static_cast<int>(local.tm_gmtoff));
}
