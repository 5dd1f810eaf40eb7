#pragma once

#include "store/HistoryStore.h"

#include <optional>
#include <vector>

namespace vorelle {

// One day of a month's summary, from the main recordings' readings, in
// their units. A value is none when the day has no reading of it.
struct DayWeather {
    int day = 1;                    // of the month
    std::optional<double> highest;  // outdoor temperature
    std::optional<double> lowest;
    std::optional<double> mean;
    std::optional<double> rain;
    std::optional<double> highestGust;
};

struct MonthWeather {
    int year = 1900;
    int month = 1;
    std::vector<DayWeather> days;  // every day of the month, in order
    // The month's: highest and lowest temperature, the mean of all its
    // temperature readings, the sum of its days' rain, the highest gust.
    std::optional<double> highest;
    std::optional<double> lowest;
    std::optional<double> mean;
    std::optional<double> rain;
    std::optional<double> highestGust;
};

// The summary of `month` (1 to 12) of `year` (1900 to 9999).
//
// Temperatures and gusts are those of the readings of each calendar day,
// from 00:00:00 to 23:59:59.
//
// A recording holds no rain per reading, only running totals: the day's
// (RainDay), the week's, the month's and the year's. The console restarts
// the day's total at its midnight, and a reading taken at midnight may come
// just before or just after that restart. So the day's rain is the highest
// RainDay of the readings after the day's midnight, up to and including the
// next midnight: a midnight reading taken before the restart holds the
// whole day before (and is counted for it, not for the new day), one taken
// after holds only the moments since the restart. The highest, not the last,
// so a missing or a late reading does not lose what fell earlier. A total
// set back by hand during the day counts what was highest before.
StoreResult<MonthWeather> SummariseMonth(HistoryStore& store, int year, int month);

}  // namespace vorelle
