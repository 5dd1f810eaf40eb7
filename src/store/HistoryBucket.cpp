#include "store/HistoryBucket.h"

#include <algorithm>

namespace vorelle {

HistoryBucket ReadingBucket(StoreSeconds seconds, double value)
{
    return {seconds, value, value, value, value, value, 1};
}

void AddToBucket(HistoryBucket& into, const HistoryBucket& later)
{
    if (later.count == 0)
        return;
    if (into.count == 0) {
        const StoreSeconds start = into.start;
        into = later;
        into.start = start;
        return;
    }
    into.lowest = std::min(into.lowest, later.lowest);
    into.highest = std::max(into.highest, later.highest);
    into.last = later.last;
    into.sum += later.sum;
    into.count += later.count;
}

std::optional<HistoryBucket> BucketFolder::Add(const HistoryBucket& bucket)
{
    const StoreSeconds start = BucketStartOf(bucket.start, span_);
    std::optional<HistoryBucket> finished;
    if (current_.count > 0 && current_.start != start)
        finished = Finish();
    if (current_.count == 0)
        current_.start = start;
    AddToBucket(current_, bucket);
    return finished;
}

std::optional<HistoryBucket> BucketFolder::Finish()
{
    if (current_.count == 0)
        return std::nullopt;
    const HistoryBucket finished = current_;
    current_ = {};
    return finished;
}

void FoldBuckets(std::span<const HistoryBucket> finer, StoreSeconds span, std::vector<HistoryBucket>& out)
{
    BucketFolder folder(span);
    for (const HistoryBucket& bucket : finer) {
        if (const std::optional<HistoryBucket> finished = folder.Add(bucket))
            out.push_back(*finished);
    }
    if (const std::optional<HistoryBucket> finished = folder.Finish())
        out.push_back(*finished);
}

}  // namespace vorelle
