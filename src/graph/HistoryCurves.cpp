#include "graph/HistoryCurves.h"

#include "graph/TwoConnections.h"
#include "store/HistoryGraph.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vorelle {

namespace {

constexpr std::array<HistoryEntry, 10> kHistoryEntries = {{
    {"Temperature", GraphQuantity::Temperature, RecordingLayout::Main},
    {"Humidity", GraphQuantity::Humidity, RecordingLayout::Main},
    {"Pressure", GraphQuantity::Pressure, RecordingLayout::Main},
    {"Wind", GraphQuantity::Wind, RecordingLayout::Main},
    {"Rain fall", GraphQuantity::RainFall, RecordingLayout::Main},
    {"Solar Radiation", GraphQuantity::SolarRadiation, RecordingLayout::Main},
    {"UV-Index", GraphQuantity::UvIndex, RecordingLayout::Main},
    {"Channel Temperature", GraphQuantity::Temperature, RecordingLayout::Channel},
    {"Channel Humidity", GraphQuantity::Humidity, RecordingLayout::Channel},
    {"Soil moisture", GraphQuantity::SoilMoisture, RecordingLayout::Soil},
}};

// The same day of the month `months` earlier, or the month's last day when
// it is shorter.
CivilTime MonthsEarlier(CivilTime time, int months)
{
    const int month = time.year * 12 + time.month - 1 - months;
    time.year = month / 12;
    time.month = month % 12 + 1;
    while (time.day > 28 && !StoreSecondsOf(time))
        --time.day;
    return time;
}

void AddBucketPoints(const HistoryBucket& bucket, StoreSeconds span, std::vector<ChartPoint>& curve)
{
    const auto add = [&curve](StoreSeconds x, double y) {
        if (std::isfinite(y))
            curve.push_back({static_cast<double>(x), y});
    };
    add(bucket.start, bucket.first);
    if (span == 1)
        return;
    // When and in which order the extremes came is not kept: an extreme that
    // is not the first or the last reading is drawn in the middle, in the
    // order that follows the bucket's way from its first reading to its
    // last, so that a rise or a fall is a straight line and a peak a tent.
    const bool rising = bucket.first <= bucket.last;
    for (const double extreme : {rising ? bucket.lowest : bucket.highest, rising ? bucket.highest : bucket.lowest}) {
        if (extreme != bucket.first && extreme != bucket.last)
            add(bucket.start + span / 2, extreme);
    }
    add(bucket.start + span - 1, bucket.last);
}

}  // namespace

std::span<const HistoryEntry> HistoryEntries() { return kHistoryEntries; }

std::optional<HistoryEntry> HistoryEntryNamed(std::string_view name)
{
    for (const HistoryEntry& entry : kHistoryEntries) {
        if (entry.name == name)
            return entry;
    }
    return std::nullopt;
}

TimeRange SpanRange(HistorySpan span, const HeldTimes& held)
{
    const CivilTime last = CivilTimeAtStoreSeconds(held.last);
    switch (span) {
    case HistorySpan::Day: return {CivilTimeAtStoreSeconds(held.last - kHistoryDay), last};
    case HistorySpan::Week: return {CivilTimeAtStoreSeconds(held.last - 7 * kHistoryDay), last};
    case HistorySpan::Month: return {MonthsEarlier(last, 1), last};
    case HistorySpan::Year: return {MonthsEarlier(last, 12), last};
    case HistorySpan::All: break;
    }
    return {CivilTimeAtStoreSeconds(held.first - 1), last};
}

StoreStatus ReadHistoryCurves(HistoryStore& history, RecordingLayout kind, const GraphPlan& plan, ValueRange span,
                              int width, GraphCurves& curves)
{
    const CivilTime from = CivilTimeAtSeconds(span.min);
    const CivilTime to = CivilTimeAtSeconds(span.max);
    std::vector<std::size_t> drawn;
    for (std::size_t i = 0; i < kDataSeries; ++i) {
        curves[i].clear();
        if (!plan.series[i].column.empty())
            drawn.push_back(i);
    }
    const auto readOne = [&](HistoryStore& store, std::size_t k) -> StoreStatus {
        StoreResult<HistoryGraph> read = ReadForGraph(store, kind, plan.series[drawn[k]].column, from, to, width);
        if (!read)
            return read.TakeError();
        const StoreSeconds bucketSpan = LevelSpan(read->level);
        std::vector<ChartPoint>& curve = curves[drawn[k]];
        curve.reserve(read->buckets.size() * (bucketSpan == 1 ? 1 : 4));
        for (const HistoryBucket& bucket : read->buckets)
            AddBucketPoints(bucket, bucketSpan, curve);
        return StoreDone{};
    };
    StoreStatus read = ReadWithTwoConnections<HistoryStore>(history, drawn.size(), readOne);
    if (!read) {
        for (std::vector<ChartPoint>& curve : curves)
            curve.clear();
    }
    return read;
}

}  // namespace vorelle
