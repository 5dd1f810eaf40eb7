#pragma once

#include "graph/GraphQuantity.h"
#include "graph/PixelReduction.h"
#include "messages/Messages.h"
#include "store/RecordTime.h"

#include <array>
#include <optional>
#include <span>
#include <vector>

namespace vorelle {

class HistoryStore;
class RecordDatabase;
struct HistoryEntry;
struct TimeRange;

// One "Select": a quantity of the recording in the store, over a range that
// excludes its start and includes its end.
struct GraphRequest {
    GraphQuantity quantity = GraphQuantity::Temperature;
    RecordingLayout layout = RecordingLayout::Main;
    UnitLabels labels;
    CivilTime start;
    CivilTime end;
};

struct ValueRange {
    double min;
    double max;

    friend bool operator==(const ValueRange&, const ValueRange&) = default;
};

// Each data series' points in time order: x in ChartSeconds, y as stored.
using GraphCurves = std::array<std::vector<ChartPoint>, kDataSeries>;

// What a build hands the chart: the plan, the curves (from the record store
// every stored reading; from the history none, as the chart reads what each
// view needs), the selected range and, for rain and light, the fixed range
// of the left axis.
struct GraphData {
    GraphPlan plan;
    GraphCurves curves;
    double from = 0.0;
    double to = 0.0;
    std::optional<ValueRange> fixedAxis;
};

enum class BuildResult {
    Built,
    TimeError,    // the start lies after the end: "Time Error." was shown, nothing was read
    QueryFailed,  // the store failed: its message was shown once, the build stopped there
};

// Reads the curves of `request` from `store`, each query's rows once into
// memory; a store file is read by two connections at once, the second on a
// thread that ends before this returns. Rows whose value is missing, or not
// a finite number, are left out. The store's first failure and "Time Error."
// are shown through `messages`, on the calling thread.
BuildResult BuildGraph(RecordDatabase& store, Messages& messages, const GraphRequest& request, GraphData& data);

// The same build over the history (HistoryCurves.h): "Time Error.", or the
// plan of `entry`, titled with its name and with the units the kind's newest
// recording was written in, and the fixed axis over the range's readings;
// the history's first failure is shown through `messages`.
BuildResult BuildHistoryGraph(HistoryStore& history, Messages& messages, const HistoryEntry& entry,
                              const TimeRange& range, GraphData& data);

// The smallest and largest value of a curve; none for an empty curve.
std::optional<ValueRange> ValueRangeOf(std::span<const ChartPoint> curve);

// The fixed left axis over curves with the given value ranges (none for a
// curve without readings, which counts as 0 to 100): for rain totals from
// the least of 0 and the minima to the greatest of 0 and the maxima, plus 5;
// for light from the minimum to the maximum plus 5.
ValueRange FixedAxisRange(AxisScaling scaling, std::span<const std::optional<ValueRange>> curves);

// The time span an axis can show for a selected range: the range itself, or
// a minute around it when it has no width.
ValueRange DrawableTimeSpan(double from, double to);

}  // namespace vorelle
