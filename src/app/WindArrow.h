#pragma once

#include <array>

namespace vorelle {

struct BoardPoint {
    int x;
    int y;
    friend bool operator==(const BoardPoint&, const BoardPoint&) = default;
};

struct BoardRect {
    int left;
    int top;
    int right;
    int bottom;
    friend bool operator==(const BoardRect&, const BoardRect&) = default;
};

// The wind-direction arrow of the board: its four corners and the rectangle
// of its "%d °" text, which moves above the arrow when it points downwards.
struct WindArrow {
    std::array<BoardPoint, 4> polygon;
    BoardRect textRect;
};

WindArrow WindArrowFor(int degrees);

}  // namespace vorelle
