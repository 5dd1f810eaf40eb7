#pragma once

#include "board/BoardLayout.h"
#include "live/LiveReadings.h"

#include <string>
#include <string_view>
#include <vector>

namespace vorelle {

enum class BoardTextStyle {
    Name,   // small, left- and top-aligned
    Value,  // large, centred, top-aligned
};

struct BoardText {
    std::string text;  // UTF-8
    Rect rect;
    BoardTextStyle style;
};

// Every name and value the board shows for these readings, in the console's
// display units: the station's quantities, then the eight channels (drawn on
// both boards; the narrow picture simply ends before them).
std::vector<BoardText> BoardTexts(const LiveReadings::Snapshot& readings);

// One quantity as the board shows it, with what lies behind the text.
struct QuantityReading {
    std::string_view key;   // the LiveValues field, e.g. "IndoorTemp"
    std::string name;       // the board's name, without its trailing blanks
    std::int32_t raw;       // in console units
    bool missing;
    std::string text;       // exactly as the board shows it
};

// The board's quantities in its order, then the wind direction (shown beside
// the arrow) and, when present, the channels.
std::vector<QuantityReading> QuantityReadings(const LiveReadings::Snapshot& readings);

// "%d °" of the wind direction, shown beside the arrow.
std::string WindDirectionText(int degrees);

}  // namespace vorelle
