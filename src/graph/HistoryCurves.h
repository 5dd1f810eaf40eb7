#pragma once

#include "graph/GraphBuild.h"
#include "graph/GraphTime.h"
#include "store/HistoryStore.h"

#include <optional>
#include <span>
#include <string_view>

namespace vorelle {

// What the history's graph offers: each quantity of each recording kind,
// under one name. The main recording's keep the Graph dialog's names; the
// channel's say their kind ("Soil moisture" needs no word more), so that one
// list, and one word on a command line, reaches every curve the history
// holds.
struct HistoryEntry {
    std::string_view name;
    GraphQuantity quantity;
    RecordingLayout kind;
};

// In the list's order: the main recording's seven, then the channel's two,
// then soil moisture.
std::span<const HistoryEntry> HistoryEntries();
std::optional<HistoryEntry> HistoryEntryNamed(std::string_view name);

// The history graph's quick spans.
enum class HistorySpan { Day, Week, Month, Year, All };

// The range a quick span selects among the readings `held`: the day, the
// week, the calendar month or the calendar year up to the last reading, or
// all of them (from the second before the first, which the range leaves out).
TimeRange SpanRange(HistorySpan span, const HeldTimes& held);

// The curves of `plan` over `span` (ChartSeconds, its start left out) for a
// chart `width` pixels wide: per curve, the buckets of the finest level that
// gives at most a few per pixel column (ReadForGraph), each drawn as its
// first reading at its start, its last at its end and between them, in its
// middle, its lowest and highest where they are neither, so no peak is lost
// at any span. A reading is its own point. Several curves are read on two connections at once. On a failure
// the curves are empty.
StoreStatus ReadHistoryCurves(HistoryStore& history, RecordingLayout kind, const GraphPlan& plan, ValueRange span,
                              int width, GraphCurves& curves);

}  // namespace vorelle
