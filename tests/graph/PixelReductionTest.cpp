#include "graph/PixelReduction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>

namespace vorelle {
namespace {

// The pixel column of x, as a line drawn through the points lands in it;
// outside the view -1 and `pixels`.
long ColumnOf(double x, double from, double to, int pixels)
{
    if (x < from)
        return -1;
    if (x > to)
        return pixels;
    const double perPixel = pixels / (to - from);
    return std::min(static_cast<long>((x - from) * perPixel), static_cast<long>(pixels - 1));
}

struct ColumnExtent {
    double first, low, high, last;
};

std::map<long, ColumnExtent> Extents(const std::vector<ChartPoint>& points, double from, double to, int pixels,
                                     bool outsideToo)
{
    std::map<long, ColumnExtent> columns;
    for (const ChartPoint& p : points) {
        const long c = ColumnOf(p.x, from, to, pixels);
        if (!outsideToo && (c < 0 || c >= pixels))
            continue;
        auto [at, added] = columns.try_emplace(c, ColumnExtent{p.y, p.y, p.y, p.y});
        if (!added) {
            at->second.low = std::min(at->second.low, p.y);
            at->second.high = std::max(at->second.high, p.y);
            at->second.last = p.y;
        }
    }
    return columns;
}

// Random curves, some with gaps and repeated times, against every point
// drawn: each pixel column keeps its first, least, greatest and last value,
// the points kept are points of the curve in their order, and the nearest
// point on either side outside the view is kept too.
TEST(PixelReductionTest, EveryPixelColumnKeepsItsExtremes)
{
    std::mt19937_64 random(7);
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE(round);
        const std::size_t count = std::uniform_int_distribution<std::size_t>(0, 20000)(random);
        std::vector<ChartPoint> points(count);
        double x = 1000.0;
        for (ChartPoint& p : points) {
            const double step = std::uniform_real_distribution<double>(0.0, 1.0)(random);
            x += step < 0.05 ? 0.0 : (step > 0.99 ? 500.0 : step);  // repeated times and gaps
            p = {x, std::normal_distribution<double>(0.0, 50.0)(random)};
        }
        const int pixels = std::uniform_int_distribution<int>(1, 1200)(random);
        const double from = 1000.0 + std::uniform_real_distribution<double>(-100.0, x / 3)(random);
        const double to = from + std::uniform_real_distribution<double>(1.0, x)(random);

        std::vector<ChartPoint> reduced;
        ReduceToPixels(points, from, to, pixels, reduced);

        EXPECT_TRUE(std::includes(points.begin(), points.end(), reduced.begin(), reduced.end(),
                                  [](const ChartPoint& a, const ChartPoint& b) { return a.x < b.x; }));
        const auto full = Extents(points, from, to, pixels, false);
        const auto kept = Extents(reduced, from, to, pixels, false);
        ASSERT_EQ(full.size(), kept.size());
        for (const auto& [column, extent] : full) {
            const ColumnExtent& k = kept.at(column);
            EXPECT_EQ(k.first, extent.first) << column;
            EXPECT_EQ(k.low, extent.low) << column;
            EXPECT_EQ(k.high, extent.high) << column;
            EXPECT_EQ(k.last, extent.last) << column;
        }
        EXPECT_LE(reduced.size(), 4u * static_cast<std::size_t>(pixels) + 2u);
        const auto before = std::lower_bound(points.begin(), points.end(), from,
                                             [](const ChartPoint& p, double v) { return p.x < v; });
        if (before != points.begin()) {
            EXPECT_EQ(reduced.front(), *(before - 1)) << "the last point before the view";
        }
        const auto after = std::upper_bound(points.begin(), points.end(), to,
                                            [](double v, const ChartPoint& p) { return v < p.x; });
        if (after != points.end()) {
            EXPECT_EQ(reduced.back(), *after) << "the first point after the view";
        }
    }
}

TEST(PixelReductionTest, FewPointsPassWhole)
{
    const std::vector<ChartPoint> points = {{0, 1}, {1, 5}, {2, -3}, {3, 2}, {10, 8}};
    std::vector<ChartPoint> reduced = {{99, 99}};
    ReduceToPixels(points, 1.0, 2.0, 100, reduced);
    EXPECT_EQ(reduced, std::vector<ChartPoint>(points.begin(), points.begin() + 4)) << "with the neighbours outside";
    ReduceToPixels(points, 20.0, 30.0, 100, reduced);
    EXPECT_EQ(reduced, std::vector<ChartPoint>{points.back()}) << "only the point before the view";
    ReduceToPixels({}, 0.0, 1.0, 100, reduced);
    EXPECT_TRUE(reduced.empty());
}

}  // namespace
}  // namespace vorelle
