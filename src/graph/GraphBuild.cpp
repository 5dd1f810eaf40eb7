#include "graph/GraphBuild.h"

#include "graph/GraphTime.h"
#include "graph/HistoryCurves.h"
#include "graph/TwoConnections.h"
#include "store/RecordDatabase.h"

#include <algorithm>
#include <cmath>

namespace vorelle {

namespace {

constexpr const char* kTimeErrorText = "Time Error.";
// What a curve without readings counts as on a fixed axis.
constexpr ValueRange kNoReadings{0.0, 100.0};
constexpr double kAxisHeadroom = 5.0;

// Every reading of `column` in the range, in time order (the store hands
// them so), as the chart takes them.
StoreStatus ReadCurve(RecordDatabase& store, const GraphRequest& request, std::string_view column,
                      std::vector<ChartPoint>& curve)
{
    curve.clear();
    StoreResult<std::vector<StorePoint>> points = store.QueryRange(column, request.start, request.end);
    if (!points)
        return points.TakeError();
    curve.reserve(points->size());
    for (const StorePoint& point : points.Value()) {
        if (std::isfinite(point.value))
            curve.push_back({static_cast<double>(point.seconds), point.value});
    }
    return StoreDone{};
}

// Reads the curves that `plan` draws, on two connections to a store file.
StoreStatus ReadCurves(RecordDatabase& store, const GraphRequest& request, GraphData& data)
{
    std::vector<std::size_t> drawn;
    for (std::size_t i = 0; i < kDataSeries; ++i) {
        if (!data.plan.series[i].column.empty())
            drawn.push_back(i);
    }
    return ReadWithTwoConnections<RecordDatabase>(store, drawn.size(), [&](RecordDatabase& db, std::size_t k) {
        return ReadCurve(db, request, data.plan.series[drawn[k]].column, data.curves[drawn[k]]);
    });
}

// "Time Error." when the start lies after the end.
bool TimeErrorShown(Messages& messages, const CivilTime& start, const CivilTime& end)
{
    if (ChartSeconds(start) <= ChartSeconds(end))
        return false;
    messages.Show({kTimeErrorText, {}, MessageButtons::Ok, MessageIcon::Stop, false});
    return true;
}

// The request's plan and range, with no curves yet.
void StartBuild(const GraphRequest& request, GraphData& data)
{
    data.plan = PlanFor(request.quantity, request.layout, request.labels);
    data.from = ChartSeconds(request.start);
    data.to = ChartSeconds(request.end);
    data.fixedAxis.reset();
    for (std::vector<ChartPoint>& curve : data.curves)
        curve.clear();
}

// Rain and light keep the axis their curves' extremes give.
void FixAxis(GraphData& data)
{
    if (data.plan.scaling == AxisScaling::Automatic)
        return;
    std::vector<std::optional<ValueRange>> ranges;
    for (std::size_t i = 0; i < kDataSeries; ++i) {
        if (!data.plan.series[i].column.empty())
            ranges.push_back(ValueRangeOf(data.curves[i]));
    }
    data.fixedAxis = FixedAxisRange(data.plan.scaling, ranges);
}

BuildResult BuildFailed(Messages& messages, const StoreError& error, GraphData& data)
{
    messages.Inform(error.text);
    for (std::vector<ChartPoint>& curve : data.curves)
        curve.clear();
    return BuildResult::QueryFailed;
}

}  // namespace

BuildResult BuildGraph(RecordDatabase& store, Messages& messages, const GraphRequest& request, GraphData& data)
{
    if (TimeErrorShown(messages, request.start, request.end))
        return BuildResult::TimeError;
    StartBuild(request, data);
    if (StoreStatus read = ReadCurves(store, request, data); !read)
        return BuildFailed(messages, read.TakeError(), data);
    FixAxis(data);
    return BuildResult::Built;
}

BuildResult BuildHistoryGraph(HistoryStore& history, Messages& messages, const HistoryEntry& entry,
                              const TimeRange& range, GraphData& data)
{
    if (TimeErrorShown(messages, range.start, range.end))
        return BuildResult::TimeError;
    StoreResult<UnitLabels> units = history.Units(entry.kind);
    StartBuild({entry.quantity, entry.kind, units ? units.Value() : UnitLabels{}, range.start, range.end}, data);
    data.plan.chartTitle = entry.name;
    if (!units)
        return BuildFailed(messages, units.TakeError(), data);
    if (data.plan.scaling == AxisScaling::Automatic)
        return BuildResult::Built;
    // Every level keeps each bucket's extremes: one pixel column's read gives
    // the range's.
    if (StoreStatus read = ReadHistoryCurves(history, entry.kind, data.plan, {data.from, data.to}, 1, data.curves);
        !read)
        return BuildFailed(messages, read.TakeError(), data);
    FixAxis(data);
    for (std::vector<ChartPoint>& curve : data.curves)
        curve.clear();
    return BuildResult::Built;
}

std::optional<ValueRange> ValueRangeOf(std::span<const ChartPoint> curve)
{
    if (curve.empty())
        return std::nullopt;
    const auto [low, high] =
        std::minmax_element(curve.begin(), curve.end(), [](const ChartPoint& a, const ChartPoint& b) { return a.y < b.y; });
    return ValueRange{low->y, high->y};
}

ValueRange FixedAxisRange(AxisScaling scaling, std::span<const std::optional<ValueRange>> curves)
{
    std::optional<ValueRange> all;
    if (scaling == AxisScaling::RainTotals)
        all = ValueRange{0.0, 0.0};
    for (const std::optional<ValueRange>& curve : curves) {
        const ValueRange r = curve.value_or(kNoReadings);
        all = all ? ValueRange{std::min(all->min, r.min), std::max(all->max, r.max)} : r;
    }
    const ValueRange range = all.value_or(kNoReadings);
    return {range.min, range.max + kAxisHeadroom};
}

ValueRange DrawableTimeSpan(double from, double to)
{
    constexpr double kHalfMinute = 30.0;
    if (to > from)
        return {from, to};
    return {from - kHalfMinute, from + kHalfMinute};
}

}  // namespace vorelle
