#include "app/WindArrow.h"

#include <cmath>

namespace vorelle {

namespace {

constexpr int kCentreX = 500;
constexpr int kCentreY = 110;
constexpr double kTipLength = 70.0;
constexpr double kWingLength = 20.0;
constexpr BoardRect kTextAbove{406, 60, 610, 105};
constexpr BoardRect kTextBelow{406, 135, 610, 155};

// The console's drawing has always used 3.14 for pi; the arrow's pixels
// (the tip at 180 degrees lands on y 179, not 180) follow from it.
double Radians(double degrees) { return degrees * 3.14 / 180.0; }

BoardPoint Truncated(double x, double y) { return {static_cast<int>(x), static_cast<int>(y)}; }

}  // namespace

WindArrow WindArrowFor(int degrees)
{
    const double d = degrees;
    WindArrow arrow{};
    arrow.polygon[0] = {kCentreX, kCentreY};
    arrow.polygon[1] = Truncated(kCentreX - kWingLength * std::cos(Radians(d - 60)),
                                 kCentreY - kWingLength * std::sin(Radians(d - 60)));
    arrow.polygon[2] = Truncated(kCentreX + kTipLength * std::cos(Radians(d - 90)),
                                 kCentreY + kTipLength * std::sin(Radians(d - 90)));
    arrow.polygon[3] = Truncated(kCentreX - kWingLength * std::cos(Radians(d - 120)),
                                 kCentreY - kWingLength * std::sin(Radians(d - 120)));
    arrow.textRect = (degrees >= 90 && degrees <= 270) ? kTextAbove : kTextBelow;
    return arrow;
}

}  // namespace vorelle
