#include "graph/GraphTime.h"

#include <cmath>

namespace vorelle {

namespace {
constexpr double kChartSecondsPerDay = 86400.0;
}  // namespace

double ChartSeconds(double automationDate) { return automationDate * kChartSecondsPerDay; }

double ChartSeconds(const CivilTime& time) { return ChartSeconds(AutomationDate(time)); }

CivilTime CivilTimeAtSeconds(double seconds) { return CivilTimeOf(seconds / kChartSecondsPerDay); }

TimeRange LastHourBefore(const CivilTime& now)
{
    return {CivilTimeAtSeconds(ChartSeconds(now) - 3600.0), now};
}

std::string AxisTimeText(double seconds) { return FormatRecordTime(CivilTimeAtSeconds(seconds)); }

std::vector<TimeTick> TimeTicks(double from, double to, int maxTicks)
{
    std::vector<TimeTick> ticks;
    if (!(to > from) || maxTicks < 1 || !std::isfinite(from) || !std::isfinite(to))
        return ticks;
    constexpr double kSteps[] = {
        1,    2,     5,     10,    15,    30,    60,     120,    300,    600,    900,
        1800, 3600,  7200,  10800, 21600, 43200, 86400,  172800, 432000, 604800, 1209600,
    };
    for (const double step : kSteps) {
        if ((to - from) / step < maxTicks) {
            for (double at = std::ceil(from / step) * step; at <= to; at += step)
                ticks.push_back({at, AxisTimeText(at)});
            return ticks;
        }
    }
    // Longer spans: the first of every month, or of every few months.
    const CivilTime first = CivilTimeAtSeconds(from);
    const int firstMonth = first.year * 12 + first.month - 1;
    const int months = static_cast<int>((to - from) / (30.0 * kChartSecondsPerDay)) + 1;
    int step = 1;
    for (const int candidate : {1, 2, 3, 6, 12, 24, 60, 120, 240, 600, 1200}) {
        step = candidate;
        if (months / candidate + 1 <= maxTicks)
            break;
    }
    for (int month = (firstMonth + step - 1) / step * step; month / 12 <= 9999; month += step) {
        const double at = ChartSeconds(CivilTime{month / 12, month % 12 + 1, 1, 0, 0, 0});
        if (at > to)
            break;
        if (at >= from)
            ticks.push_back({at, AxisTimeText(at)});
    }
    return ticks;
}

}  // namespace vorelle
