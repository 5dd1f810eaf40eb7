#include "store/HistoryTime.h"

#include <cmath>

namespace vorelle {

std::optional<HistorySeconds> HistorySecondsOf(const CivilTime& time)
{
    // The calendar function takes any numbers; a time is real when it comes
    // back unchanged from the seconds it gives.
    const double date = AutomationDate(time);
    if (!std::isfinite(date) || !(CivilTimeOf(date) == time))
        return std::nullopt;
    return std::llround(date * static_cast<double>(kHistoryDay));
}

CivilTime CivilTimeAtHistorySeconds(HistorySeconds seconds)
{
    return CivilTimeOf(static_cast<double>(seconds) / static_cast<double>(kHistoryDay));
}

HistorySeconds BucketStartOf(HistorySeconds seconds, HistorySeconds span)
{
    const HistorySeconds within = seconds % span;
    return seconds - (within < 0 ? within + span : within);
}

HistorySeconds BucketStartFrom(HistorySeconds seconds, HistorySeconds span)
{
    const HistorySeconds start = BucketStartOf(seconds, span);
    return start == seconds ? start : start + span;
}

}  // namespace vorelle
