#include "graph/GraphBuild.h"

#include "graph/GraphTime.h"
#include "records/RecordDatabase.h"

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

// Every reading of `column` in the range, in time order. False when the
// store reported a failure.
bool ReadCurve(RecordDatabase& store, const GraphRequest& request, std::string_view column,
               std::vector<ChartPoint>& curve)
{
    curve.clear();
    if (store.QueryRange(request.end, request.start, column) != 0)
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

// Collects what a reader on another thread would show, for the calling
// thread to show once the reader is done.
class HeldMessages final : public Messages {
public:
    MessageAnswer Show(const Message& message) override
    {
        held.push_back(message);
        return MessageAnswer::Ok;
    }
    std::vector<Message> held;
};

// Reads the curves that `plan` draws. With a store file and more than one
// curve, a second connection on a second thread reads every other curve,
// so that a year of four curves takes about half as long on two cores.
bool ReadCurves(RecordDatabase& store, Messages& messages, const GraphRequest& request, GraphData& data)
{
    std::vector<std::size_t> drawn;
    for (std::size_t i = 0; i < kDataSeries; ++i) {
        if (!data.plan.series[i].column.empty())
            drawn.push_back(i);
    }
    const std::filesystem::path file = store.File();
    const auto readEvery = [&](RecordDatabase& db, std::size_t first, std::size_t every) {
        for (std::size_t k = first; k < drawn.size(); k += every) {
            if (!ReadCurve(db, request, data.plan.series[drawn[k]].column, data.curves[drawn[k]]))
                return false;
        }
        return true;
    };
    if (drawn.size() < 2 || file.empty())
        return readEvery(store, 0, 1);
    HeldMessages workerMessages;
    bool workerRead = false;
    std::thread worker([&] {
        RecordDatabase second(workerMessages);
        workerRead = second.Connect(file) == 0 && readEvery(second, 1, 2);
    });
    const bool read = readEvery(store, 0, 2);
    worker.join();
    // A store that fails one reader mostly fails both: its failure is told once.
    if (read) {
        for (const Message& message : workerMessages.held)
            messages.Show(message);
    }
    return read && workerRead;
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
    if (!ReadCurves(store, messages, request, data)) {
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
