#include "graph/PixelReduction.h"

#include <algorithm>
#include <array>

namespace vorelle {

void ReduceToPixels(std::span<const ChartPoint> points, double from, double to, int pixels,
                    std::vector<ChartPoint>& out)
{
    out.clear();
    const auto byX = [](const ChartPoint& p, double x) { return p.x < x; };
    const auto xBelow = [](double x, const ChartPoint& p) { return x < p.x; };
    std::size_t first = static_cast<std::size_t>(std::lower_bound(points.begin(), points.end(), from, byX) - points.begin());
    std::size_t end = static_cast<std::size_t>(std::upper_bound(points.begin(), points.end(), to, xBelow) - points.begin());
    // The neighbours outside the view carry the line to its edges.
    if (first > 0)
        --first;
    if (end < points.size())
        ++end;
    if (first >= end)
        return;
    if (pixels < 1 || !(to > from) || end - first <= 4 * static_cast<std::size_t>(pixels)) {
        out.assign(points.begin() + static_cast<std::ptrdiff_t>(first), points.begin() + static_cast<std::ptrdiff_t>(end));
        return;
    }
    out.reserve(4 * static_cast<std::size_t>(pixels) + 4);
    const double perPixel = pixels / (to - from);
    const auto column = [&](double x) {
        // The neighbours outside fall in columns of their own.
        if (x < from)
            return -1L;
        if (x > to)
            return static_cast<long>(pixels);
        return std::min(static_cast<long>((x - from) * perPixel), static_cast<long>(pixels - 1));
    };
    for (std::size_t i = first; i < end;) {
        const std::size_t runStart = i;
        const long current = column(points[i].x);
        std::size_t low = i, high = i;
        for (++i; i < end && column(points[i].x) == current; ++i) {
            if (points[i].y < points[low].y)
                low = i;
            if (points[i].y > points[high].y)
                high = i;
        }
        const std::array<std::size_t, 4> kept = {runStart, std::min(low, high), std::max(low, high), i - 1};
        for (std::size_t k = 0; k < kept.size(); ++k) {
            if (k == 0 || kept[k] != kept[k - 1])
                out.push_back(points[kept[k]]);
        }
    }
}

}  // namespace vorelle
