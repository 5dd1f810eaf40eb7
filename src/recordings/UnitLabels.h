#pragma once

#include <string>

namespace vorelle {

class RecordingContent;

// The units of a recording, as its header names them, for the graph's axes.
// Texts are UTF-8.
struct UnitLabels {
    std::string temperature;  // from column 1, "C" and "F" shown as "°C" and "°F"
    std::string pressure;     // column 3
    std::string rain;         // column 14
    std::string wind;         // column 9
    std::string light;        // column 12
};

// A column's label is its title from the first "(" on ("(hPa)"), or the
// whole title when it has none; empty when the header has no such column.
UnitLabels UnitLabelsOf(const RecordingContent& content);

}  // namespace vorelle
