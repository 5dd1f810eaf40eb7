#pragma once

#include "app/BoardLayout.h"
#include "app/LiveReadings.h"

#include <string>
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

// The value text of one quantity, exactly as the board shows it.
std::string BoardValueText(BoardQuantity quantity, const LiveValues& values);

// "%d °" of the wind direction, shown beside the arrow.
std::string WindDirectionText(int degrees);

}  // namespace vorelle
