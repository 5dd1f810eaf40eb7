#include "board/WindArrow.h"

#include <cmath>

namespace vorelle {

namespace {

// The console's drawing has always used 3.14 for pi; the arrow's pixels
// (the tip at 180 degrees lands on y 179, not 180) follow from it.
double Radians(double degrees) { return degrees * 3.14 / 180.0; }

// A point `length` from the centre along `degrees`, truncated to pixels.
Point Along(double length, double degrees)
{
    return {static_cast<int>(kArrowCentre.x + length * std::cos(Radians(degrees))),
            static_cast<int>(kArrowCentre.y + length * std::sin(Radians(degrees)))};
}

}  // namespace

WindArrow WindArrowFor(int degrees)
{
    const double d = degrees;
    WindArrow arrow{};
    arrow.polygon[0] = kArrowCentre;
    arrow.polygon[1] = Along(-kArrowWingLength, d - 60);
    arrow.polygon[2] = Along(kArrowTipLength, d - 90);
    arrow.polygon[3] = Along(-kArrowWingLength, d - 120);
    arrow.textRect = (degrees >= 90 && degrees <= 270) ? kArrowTextUpper : kArrowTextLower;
    return arrow;
}

}  // namespace vorelle
