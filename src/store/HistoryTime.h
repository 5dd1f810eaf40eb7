#pragma once

#include "store/RecordTime.h"

#include <cstdint>

namespace vorelle {

// The history counts time in StoreSeconds (RecordTime.h), so the hour a
// clock change repeats keeps its readings and the hour it skips has none.
inline constexpr StoreSeconds kHistoryHour = 3600;
inline constexpr StoreSeconds kHistoryDay = 86400;

// The start of the bucket of `span` seconds (an hour, a day) that holds
// `seconds`; buckets are counted from the epoch, so a day's starts at
// midnight.
StoreSeconds BucketStartOf(StoreSeconds seconds, StoreSeconds span);
// The first bucket start at or after `seconds`.
StoreSeconds BucketStartFrom(StoreSeconds seconds, StoreSeconds span);

// A reading's key in its table: its second, and below it the ordinal that
// tells apart readings of one recording with the same time (the hour a
// clock change repeats): the number of earlier readings of the recording
// with that time. Keys sort as the readings read on the clock, the readings
// of one second in the order the recording wrote them.
inline constexpr int kOrdinalBits = 20;
inline constexpr std::uint32_t kMaxOrdinal = (std::uint32_t{1} << kOrdinalBits) - 1;

constexpr std::int64_t HistoryKey(StoreSeconds seconds, std::uint32_t ordinal)
{
    return seconds * (std::int64_t{1} << kOrdinalBits) + ordinal;
}
constexpr StoreSeconds SecondsOfKey(std::int64_t key)
{
    return key >> kOrdinalBits;
}

}  // namespace vorelle
