#pragma once

#include <span>
#include <vector>

namespace vorelle {

struct ChartPoint {
    double x;
    double y;

    friend bool operator==(const ChartPoint&, const ChartPoint&) = default;
};

// The points of a curve that a chart `pixels` wide, showing x from `from` to
// `to`, can tell apart: for every pixel column, the first, the smallest, the
// largest and the last point that falls in it, in their own order, and the
// nearest point on either side outside the view, so that the line runs on
// to the edges. A line through these is drawn the same as one through every
// point, and no peak is lost. `points` must be in ascending x order; the
// result replaces `out`.
void ReduceToPixels(std::span<const ChartPoint> points, double from, double to, int pixels,
                    std::vector<ChartPoint>& out);

}  // namespace vorelle
