#include "graph/GraphBuild.h"

#include "graph/GraphTime.h"
#include "store/RecordDatabase.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <thread>

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

// Reads the curves that `plan` draws. With a store file and more than one
// curve, a second connection on a second thread reads every other curve,
// so that a year of four curves takes about half as long on two cores.
StoreStatus ReadCurves(RecordDatabase& store, const GraphRequest& request, GraphData& data)
{
    std::vector<std::size_t> drawn;
    for (std::size_t i = 0; i < kDataSeries; ++i) {
        if (!data.plan.series[i].column.empty())
            drawn.push_back(i);
    }
    const std::filesystem::path file = store.File();
    const auto readEvery = [&](RecordDatabase& db, std::size_t first, std::size_t every) -> StoreStatus {
        for (std::size_t k = first; k < drawn.size(); k += every) {
            if (StoreStatus read = ReadCurve(db, request, data.plan.series[drawn[k]].column, data.curves[drawn[k]]);
                !read)
                return read;
        }
        return StoreDone{};
    };
    if (drawn.size() < 2 || file.empty())
        return readEvery(store, 0, 1);
    StoreStatus workerRead = StoreDone{};
    std::thread worker([&] {
        StoreResult<RecordDatabase> second = RecordDatabase::Open(file);
        workerRead = second ? readEvery(second.Value(), 1, 2) : second.TakeError();
    });
    StoreStatus read = readEvery(store, 0, 2);
    worker.join();
    // A store that fails one reader mostly fails both: its failure is told once.
    return read ? workerRead : read;
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
    if (StoreStatus read = ReadCurves(store, request, data); !read) {
        messages.Inform(read.Error());
        for (std::vector<ChartPoint>& curve : data.curves)
            curve.clear();
        return BuildResult::QueryFailed;
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
