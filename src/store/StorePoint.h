#pragma once

#include "store/RecordTime.h"

namespace vorelle {

// What the stores (the record store, the history) answer about one column
// over a range of time.

// One reading of one column: its second on the wall clock and its value as
// stored, in the recording's units.
struct StorePoint {
    StoreSeconds seconds = 0;
    double value = 0.0;

    friend bool operator==(const StorePoint&, const StorePoint&) = default;
};

// The highest and the lowest reading of a column.
struct ValueExtremes {
    double max = 0.0;
    double min = 0.0;

    friend bool operator==(const ValueExtremes&, const ValueExtremes&) = default;
};

}  // namespace vorelle
