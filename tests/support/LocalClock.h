#pragma once

#include <chrono>
#include <ctime>

namespace vorelle::test {

// The moment a wall clock in this machine's time zone shows the given time.
inline std::chrono::system_clock::time_point LocalClock(int year, int month, int day, int hour, int minute = 0,
                                                        int second = 0)
{
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&tm));
}

}  // namespace vorelle::test
