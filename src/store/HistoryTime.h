#pragma once

#include "records/RecordTime.h"

#include <cstdint>
#include <optional>

namespace vorelle {

// The history counts time in whole seconds of wall-clock time from the
// automation epoch (30 December 1899, 00:00), the unit of the graph's time
// axis. A reading's seconds come from the record store's one calendar
// function and never pass through a time zone, so the hour a clock change
// repeats keeps its readings and the hour it skips has none.
using HistorySeconds = std::int64_t;

inline constexpr HistorySeconds kHistoryHour = 3600;
inline constexpr HistorySeconds kHistoryDay = 86400;

// None for a CivilTime that is not a real date and time from 1900 to 9999.
std::optional<HistorySeconds> HistorySecondsOf(const CivilTime& time);
CivilTime CivilTimeAtHistorySeconds(HistorySeconds seconds);

// The start of the bucket of `span` seconds (an hour, a day) that holds
// `seconds`; buckets are counted from the epoch, so a day's starts at
// midnight.
HistorySeconds BucketStartOf(HistorySeconds seconds, HistorySeconds span);
// The first bucket start at or after `seconds`.
HistorySeconds BucketStartFrom(HistorySeconds seconds, HistorySeconds span);

// A reading's key in its table: its second, and below it the ordinal that
// tells apart readings of one recording with the same time (the hour a
// clock change repeats): the number of earlier readings of the recording
// with that time. Keys sort as the readings read on the clock, the readings
// of one second in the order the recording wrote them.
inline constexpr int kOrdinalBits = 20;
inline constexpr std::uint32_t kMaxOrdinal = (std::uint32_t{1} << kOrdinalBits) - 1;

constexpr std::int64_t HistoryKey(HistorySeconds seconds, std::uint32_t ordinal)
{
    return seconds * (std::int64_t{1} << kOrdinalBits) + ordinal;
}
constexpr HistorySeconds SecondsOfKey(std::int64_t key)
{
    return key >> kOrdinalBits;
}

}  // namespace vorelle
