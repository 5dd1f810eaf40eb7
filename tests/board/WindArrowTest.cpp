#include "board/WindArrow.h"
#include "support/NamedCase.h"

#include <gtest/gtest.h>

namespace vorelle {

// Found by argument-dependent lookup, so they live beside the types.
bool operator==(const Point& a, const Point& b) { return a.x == b.x && a.y == b.y; }
bool operator==(const Rect& a, const Rect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
void PrintTo(const Point& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }
void PrintTo(const Rect& r, std::ostream* os) { *os << r.left << "," << r.top << "," << r.right << "," << r.bottom; }

namespace {

constexpr Rect kAbove{406, 60, 610, 105};
constexpr Rect kBelow{406, 135, 610, 155};

struct ArrowCase : test::NamedCase {
    int degrees;
    Point tip;
    Rect text;
};

class WindArrowTest : public ::testing::TestWithParam<ArrowCase> {};

TEST_P(WindArrowTest, TipAndTextRectangle)
{
    const ArrowCase& c = GetParam();
    const WindArrow arrow = WindArrowFor(c.degrees);
    EXPECT_EQ(arrow.polygon[0], (Point{500, 110}));
    EXPECT_EQ(arrow.polygon[2], c.tip);
    EXPECT_EQ(arrow.textRect, c.text);
}

// 3.14 instead of pi moves the tips a pixel off the axes; 90 and 270 count as
// pointing downwards.
INSTANTIATE_TEST_SUITE_P(Directions, WindArrowTest,
                         ::testing::Values(ArrowCase{"Degrees0", 0, {500, 40}, kBelow},
                                           ArrowCase{"Degrees89", 89, {569, 108}, kBelow},
                                           ArrowCase{"Degrees90", 90, {570, 110}, kAbove},
                                           ArrowCase{"Degrees180", 180, {500, 179}, kAbove},
                                           ArrowCase{"Degrees270", 270, {430, 110}, kAbove},
                                           ArrowCase{"Degrees271", 271, {430, 108}, kBelow},
                                           ArrowCase{"Degrees359", 359, {498, 40}, kBelow}),
                         test::CaseName{});

TEST(WindArrowShapeTest, WingsSitBehindTheCentreMirroredAboutTheShaft)
{
    const WindArrow north = WindArrowFor(0);
    EXPECT_GT(north.polygon[1].y, 110);
    EXPECT_GT(north.polygon[3].y, 110);
    EXPECT_EQ(north.polygon[1].y, north.polygon[3].y);
    EXPECT_LT(north.polygon[1].x, 500);
    EXPECT_GT(north.polygon[3].x, 500);
}

}  // namespace
}  // namespace vorelle
