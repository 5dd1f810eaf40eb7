#pragma once

#include "store/RecordTime.h"

#include <string>
#include <vector>

namespace vorelle {

// The graph's time axis counts seconds of wall-clock time from the
// automation epoch (30 December 1899), as the record store keeps its times:
// no time zone and no daylight saving, so a day with a clock change is drawn
// as the console wrote it, without a gap or a fold.
double ChartSeconds(double automationDate);
double ChartSeconds(const CivilTime& time);
CivilTime CivilTimeAtSeconds(double seconds);

// The range the graph opens with: the hour up to `now`.
struct TimeRange {
    CivilTime start;
    CivilTime end;
};
TimeRange LastHourBefore(const CivilTime& now);

// A time as the axis and the tool tip show it: "2024-01-31 00:00:00".
std::string AxisTimeText(double seconds);

// Labelled places on the time axis from `from` to `to` (seconds), at most
// `maxTicks` of them, on whole steps of a second, a minute, an hour or a
// day counted from midnight, so that the labels read as round times.
struct TimeTick {
    double seconds;
    std::string label;
};
std::vector<TimeTick> TimeTicks(double from, double to, int maxTicks);

}  // namespace vorelle
