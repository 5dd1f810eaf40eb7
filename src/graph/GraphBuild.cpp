#include "graph/GraphBuild.h"

#include "graph/GraphTime.h"
#include "records/RecordDatabase.h"

#include <algorithm>
#include <cmath>

namespace vorelle {

namespace {

constexpr const char* kTimeErrorText = "Time Error.";
// What a curve without readings counts as on a fixed axis.
constexpr ValueRange kNoReadings{0.0, 100.0};
constexpr double kAxisHeadroom = 5.0;

// Every reading of `column` in the range, in time order. False when the
// store reported a failure.
bool ReadCurve(RecordDatabase& store, const GraphRequest& request, std::string_view column,
               std::vector<ChartPoint>& curve)
{
    curve.clear();
    if (store.QueryRange(RangeText(request.end), RangeText(request.start), column) != 0)
        return false;
    const std::optional<std::size_t> timeColumn = store.ResultColumn("Time");
    const std::optional<std::size_t> valueColumn = store.ResultColumn(column);
    if (!timeColumn || !valueColumn)
        return false;
    for (; !store.EndOfRows(); store.MoveNext()) {
        const std::optional<double> time = store.Collect(*timeColumn);
        const std::optional<double> value = store.Collect(*valueColumn);
        if (time && value && std::isfinite(*time) && std::isfinite(*value))
            curve.push_back({ChartSeconds(*time), *value});
    }
    if (store.RowsFailed())
        return false;
    // The store hands rows in time order; one written by another program
    // might not, and the chart relies on it.
    const auto earlier = [](const ChartPoint& a, const ChartPoint& b) { return a.x < b.x; };
    if (!std::is_sorted(curve.begin(), curve.end(), earlier))
        std::stable_sort(curve.begin(), curve.end(), earlier);
    return true;
}

}  // namespace

BuildResult BuildGraph(RecordDatabase& store, Messages& messages, const GraphRequest& request, GraphData& data)
{
    const double from = ChartSeconds(request.start);
    const double to = ChartSeconds(request.end);
    if (from > to) {
        messages.Show({kTimeErrorText, {}, MessageButtons::Ok, MessageIcon::Stop, false});
        return BuildResult::TimeError;
    }
    data.plan = PlanFor(request.quantity, request.layout, request.labels);
    data.from = from;
    data.to = to;
    data.fixedAxis.reset();
    for (std::vector<ChartPoint>& curve : data.curves)
        curve.clear();
    for (std::size_t i = 0; i < kDataSeries; ++i) {
        const std::string_view column = data.plan.series[i].column;
        if (!column.empty() && !ReadCurve(store, request, column, data.curves[i])) {
            for (std::vector<ChartPoint>& curve : data.curves)
                curve.clear();
            return BuildResult::QueryFailed;
        }
    }
    if (data.plan.scaling != AxisScaling::Automatic) {
        std::vector<std::optional<ValueRange>> ranges;
        for (std::size_t i = 0; i < kDataSeries; ++i) {
            if (!data.plan.series[i].column.empty())
                ranges.push_back(ValueRangeOf(data.curves[i]));
        }
        data.fixedAxis = FixedAxisRange(data.plan.scaling, ranges);
    }
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
