#pragma once

#include "store/RecordingLayout.h"
#include "store/StoredRecording.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorelle {

// The quantities the graph offers, each drawn as up to four curves.
enum class GraphQuantity { Temperature, Humidity, Pressure, Wind, RainFall, SolarRadiation, UvIndex, SoilMoisture };

// The chart's five series: the first four may get data, the fifth never does
// but keeps its place in the legend.
inline constexpr std::size_t kGraphSeries = 5;
inline constexpr std::size_t kDataSeries = 4;

// What a build does with a series' entry in the legend.
enum class LegendEntry { Unchanged, Shown, Hidden };

// How the left axis finds its range.
enum class AxisScaling {
    Automatic,   // follows the curves
    RainTotals,  // fixed: from the least of 0 and the minima to the greatest of 0 and the maxima, plus 5
    Light,       // fixed: from the minimum to the maximum plus 5
};

struct SeriesPlan {
    std::string_view column;               // the Records column drawn; empty: the series gets no data
    std::optional<std::string_view> title; // the legend title; none keeps the one it has
    LegendEntry legend = LegendEntry::Unchanged;
};

// Everything a build sets on the chart for one quantity.
struct GraphPlan {
    std::string_view chartTitle;
    std::array<SeriesPlan, kGraphSeries> series;
    std::string axisTitle;
    AxisScaling scaling = AxisScaling::Automatic;
};

// The list entry's text, which is also the chart's title.
std::string_view QuantityName(GraphQuantity quantity);
std::optional<GraphQuantity> QuantityNamed(std::string_view name);

// The entries offered for a recording, in list order: a channel recording
// has temperature and humidity only, a soil recording soil moisture only,
// the main recording the seven station quantities.
std::vector<GraphQuantity> QuantitiesFor(RecordingLayout layout);

// What a build of `quantity` sets: titles, legend entries, the columns read
// and the left axis, its title taken from the recording's unit labels.
GraphPlan PlanFor(GraphQuantity quantity, RecordingLayout layout, const UnitLabels& labels);

}  // namespace vorelle
