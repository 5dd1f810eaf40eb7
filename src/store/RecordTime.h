#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorelle {

// A reading's wall-clock date and time exactly as the recording writes it.
// No time zone and no daylight saving: the console writes the time its own
// clock shows, and it is stored and compared as it reads, so an hour that a
// clock change skips or repeats is never shifted or dropped.
struct CivilTime {
    int year = 1900;  // 1900 to 9999
    int month = 1;    // 1 to 12
    int day = 1;      // 1 to the month's length
    int hour = 0;     // 0 to 23
    int minute = 0;
    int second = 0;

    friend bool operator==(const CivilTime&, const CivilTime&) = default;
};

// How the desktop writes a date whose year comes last. Dates whose year
// comes first ("2024-03-31") are read the same under either order.
enum class DateOrder { DayMonthYear, MonthDayYear };

// The one calendar function of the record store: days since 30 December 1899
// plus the fraction of the day (an automation date), for a valid CivilTime.
// Stored times and query bounds both come from here, so a reading that lies
// exactly on a bound compares equal to it.
double AutomationDate(const CivilTime& time);

// The CivilTime of an automation date, to the nearest second. Dates before
// 1900 or after 9999 are clamped to the first or last second of that range.
CivilTime CivilTimeOf(double automationDate);

// The stores' unit of time on the wall clock: whole seconds from the
// automation epoch (30 December 1899, 00:00), the unit of the graph's time
// axis too. Seconds come from the one calendar function above and never pass
// through a time zone.
using StoreSeconds = std::int64_t;

// None for a CivilTime that is not a real date and time from 1900 to 9999.
std::optional<StoreSeconds> StoreSecondsOf(const CivilTime& time);
// The second nearest to an automation date (a stored time).
StoreSeconds StoreSecondsAt(double automationDate);
CivilTime CivilTimeAtStoreSeconds(StoreSeconds seconds);

// Reads a recording's date and time, whatever the process locale: a date of
// three numbers separated by one of '-', '/' or '.' (the same one twice),
// year first ("2024-03-31") or, with a four-digit year last, day and month
// in the desktop's `order`; then, after blanks, an optional 24-hour time
// "H:MM" or "H:MM:SS" (one or two digits each). Blanks around the whole text
// are allowed; anything else, or a date or time that does not exist, gives
// no value.
std::optional<CivilTime> ParseRecordTime(std::string_view text, DateOrder order);

// "YYYY-MM-DD HH:MM:SS".
std::string FormatRecordTime(const CivilTime& time);

// Why a time typed on a command line (`text`, which ParseRecordTime cannot
// read) is refused, and how to write it.
std::string UnreadableTimeText(std::string_view text);

}  // namespace vorelle
