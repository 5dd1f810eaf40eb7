#pragma once

#include "store/HistoryTime.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vorelle {

// What the readings of one column in one bucket of time (an hour, a day)
// come to. A single reading is a bucket of its own second, all four values
// its value, its count 1. Values are in the recording's units, as stored.
struct HistoryBucket {
    StoreSeconds start = 0;  // the bucket's first second; a reading's own second
    double lowest = 0.0;
    double highest = 0.0;
    double first = 0.0;  // the earliest reading's value
    double last = 0.0;   // the latest reading's value
    double sum = 0.0;
    std::uint64_t count = 0;  // readings that hold a value; a bucket without any is never handed out

    double Mean() const { return sum / static_cast<double>(count); }

    friend bool operator==(const HistoryBucket&, const HistoryBucket&) = default;
};

HistoryBucket ReadingBucket(StoreSeconds seconds, double value);

// Adds `later`, whose readings all come after those already in `into`, to
// `into`; an empty `into` (count 0) becomes `later`, its start kept.
void AddToBucket(HistoryBucket& into, const HistoryBucket& later);

// Folds buckets handed in time order into buckets of `span` seconds.
class BucketFolder {
public:
    explicit BucketFolder(StoreSeconds span) : span_(span) {}

    // The finished bucket, when `bucket` begins the next one.
    std::optional<HistoryBucket> Add(const HistoryBucket& bucket);
    // The bucket in progress, if any; the folder is empty again.
    std::optional<HistoryBucket> Finish();

private:
    StoreSeconds span_;
    HistoryBucket current_;
};

// `finer` (in time order) folded into buckets of `span` seconds, appended to
// `out`.
void FoldBuckets(std::span<const HistoryBucket> finer, StoreSeconds span, std::vector<HistoryBucket>& out);

}  // namespace vorelle
