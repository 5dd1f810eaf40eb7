#include "store/HistoryGraph.h"

#include <algorithm>

namespace vorelle {

StoreResult<HistoryGraph> ReadForGraph(HistoryStore& store, RecordingLayout kind, std::string_view column,
                                         const CivilTime& from, const CivilTime& to, int widthPixels)
{
    const std::optional<StoreSeconds> first = StoreSecondsOf(from);
    const std::optional<StoreSeconds> last = StoreSecondsOf(to);
    if (!first || !last)
        return StoreError{"not a date and time: " + FormatRecordTime(first ? to : from)};
    const auto most =
        static_cast<std::uint64_t>(kGraphBucketsPerPixel) * static_cast<std::uint64_t>(std::max(widthPixels, 1));
    // The hours that hold a second of the range, from < second <= to.
    const StoreSeconds hours =
        *last > *first
            ? (BucketStartOf(*last, kHistoryHour) - BucketStartOf(*first + 1, kHistoryHour)) / kHistoryHour + 1
            : 0;
    HistoryGraph graph;
    if (static_cast<std::uint64_t>(hours) > most) {
        graph.level = HistoryLevel::Days;
    } else {
        StoreResult<std::vector<HistoryBucket>> hourly = store.Buckets(kind, column, HistoryLevel::Hours, from, to);
        if (!hourly)
            return hourly.TakeError();
        std::uint64_t readings = 0;
        for (const HistoryBucket& bucket : hourly.Value())
            readings += bucket.count;
        if (readings > most) {
            graph.level = HistoryLevel::Hours;
            graph.buckets = std::move(hourly.Value());
            return graph;
        }
        graph.level = HistoryLevel::Readings;
    }
    StoreResult<std::vector<HistoryBucket>> buckets = store.Buckets(kind, column, graph.level, from, to);
    if (!buckets)
        return buckets.TakeError();
    graph.buckets = std::move(buckets.Value());
    return graph;
}

}  // namespace vorelle
