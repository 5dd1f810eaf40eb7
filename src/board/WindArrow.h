#pragma once

#include "board/BoardLayout.h"

#include <array>

namespace vorelle {

// The wind-direction arrow of the board: its four corners and the rectangle
// of its "%d °" text, which moves above the arrow when it points downwards.
struct WindArrow {
    std::array<Point, 4> polygon;
    Rect textRect;
};

WindArrow WindArrowFor(int degrees);

}  // namespace vorelle
