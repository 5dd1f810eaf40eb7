#pragma once

#include "store/HistoryStore.h"

namespace vorelle {

// A graph's chart keeps at most the first, lowest, highest and last point of
// each pixel column; more buckets than that per column would only be drawn
// away.
inline constexpr int kGraphBucketsPerPixel = 4;

struct HistoryGraph {
    HistoryLevel level = HistoryLevel::Readings;
    std::vector<HistoryBucket> buckets;  // in time order; at the readings level, one per reading
};

// What a chart `widthPixels` wide needs to draw `column` over the range
// (from < time <= to): the buckets of the finest level that gives at most
// kGraphBucketsPerPixel buckets per pixel column (the days when even the
// hours are too many), each with its lowest and highest reading, so no peak
// is lost however long the range. The hours are counted from the span; the
// readings, from the hours' counts, so a choice never reads more than the
// buckets it may hand out.
StoreResult<HistoryGraph> ReadForGraph(HistoryStore& store, RecordingLayout kind, std::string_view column,
                                         const CivilTime& from, const CivilTime& to, int widthPixels);

}  // namespace vorelle
