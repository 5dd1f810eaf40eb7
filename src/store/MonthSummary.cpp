#include "store/MonthSummary.h"

#include <algorithm>

namespace vorelle {

namespace {

// The higher (or, with `lower`, the lower) of a value so far and another.
void KeepExtreme(std::optional<double>& kept, std::optional<double> value, bool lower)
{
    if (value && (!kept || (lower ? *value < *kept : *value > *kept)))
        kept = value;
}

}  // namespace

StoreResult<MonthWeather> SummariseMonth(HistoryStore& store, int year, int month)
{
    const std::optional<StoreSeconds> start = StoreSecondsOf(CivilTime{year, month, 1, 0, 0, 0});
    if (!start)
        return StoreError{"not a month: " + std::to_string(year) + "-" + std::to_string(month)};
    // The last day of December 9999 has no next month to count to.
    const std::optional<StoreSeconds> next =
        StoreSecondsOf(month == 12 ? CivilTime{year + 1, 1, 1, 0, 0, 0} : CivilTime{year, month + 1, 1, 0, 0, 0});
    const StoreSeconds end = next.value_or(*start + 31 * kHistoryDay);

    MonthWeather weather;
    weather.year = year;
    weather.month = month;
    for (StoreSeconds day = *start; day < end; day += kHistoryDay)
        weather.days.push_back({static_cast<int>((day - *start) / kHistoryDay) + 1, {}, {}, {}, {}, {}});
    const auto dayOf = [&](StoreSeconds seconds) -> DayWeather* {
        const StoreSeconds index = (seconds - *start) / kHistoryDay;
        return seconds >= *start && index < static_cast<StoreSeconds>(weather.days.size())
                   ? &weather.days[static_cast<std::size_t>(index)]
                   : nullptr;
    };

    // Calendar days: from the second before the month's first to the second
    // before the next month's.
    const CivilTime beforeStart = CivilTimeAtStoreSeconds(*start - 1);
    const CivilTime beforeEnd = CivilTimeAtStoreSeconds(end - 1);
    StoreResult<std::vector<HistoryBucket>> temperatures =
        store.Buckets(RecordingLayout::Main, "OutTemp", HistoryLevel::Days, beforeStart, beforeEnd);
    if (!temperatures)
        return temperatures.TakeError();
    double sum = 0.0;
    std::uint64_t count = 0;
    for (const HistoryBucket& bucket : temperatures.Value()) {
        if (DayWeather* day = dayOf(bucket.start)) {
            day->highest = bucket.highest;
            day->lowest = bucket.lowest;
            day->mean = bucket.Mean();
            KeepExtreme(weather.highest, bucket.highest, false);
            KeepExtreme(weather.lowest, bucket.lowest, true);
            sum += bucket.sum;
            count += bucket.count;
        }
    }
    if (count > 0)
        weather.mean = sum / static_cast<double>(count);
    StoreResult<std::vector<HistoryBucket>> gusts =
        store.Buckets(RecordingLayout::Main, "Gust", HistoryLevel::Days, beforeStart, beforeEnd);
    if (!gusts)
        return gusts.TakeError();
    for (const HistoryBucket& bucket : gusts.Value()) {
        if (DayWeather* day = dayOf(bucket.start)) {
            day->highestGust = bucket.highest;
            KeepExtreme(weather.highestGust, bucket.highest, false);
        }
    }

    // Rain days run from after a midnight to the next midnight, inclusive.
    StoreResult<std::vector<StorePoint>> rain = store.Readings(
        RecordingLayout::Main, "RainDay", CivilTimeAtStoreSeconds(*start), CivilTimeAtStoreSeconds(end));
    if (!rain)
        return rain.TakeError();
    for (const StorePoint& point : rain.Value()) {
        if (DayWeather* day = dayOf(point.seconds - 1))
            KeepExtreme(day->rain, point.value, false);
    }
    for (const DayWeather& day : weather.days) {
        if (day.rain)
            weather.rain = weather.rain.value_or(0.0) + *day.rain;
    }
    return weather;
}

}  // namespace vorelle
