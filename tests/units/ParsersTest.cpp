#include "units/Formatters.h"
#include "units/Parsers.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

namespace vorelle {
namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

struct ParseCase {
    std::uint8_t code;
    const char* text;
    std::int32_t value;
};

TEST(ParseTemperatureTest, UnitsRoundingAndMarker)
{
    const ParseCase cases[] = {
        {0, "25", 250}, {0, "25.0", 250}, {0, "-0.1", -1}, {0, "-12.25", -123},
        // Half away from zero on both sides.
        {0, "0.05", 1}, {0, "-0.05", -1}, {0, "0.04", 0}, {0, "-0.04", 0},
        {1, "77", 250}, {1, "32", 0}, {1, "-4", -200}, {1, "20", -67}, {1, "-40", -400}, {5, "-40", -400},
        {255, "212", 1000}, {0, "--", 0xFFFF}, {1, "--", 0xFFFF},
        // Not the marker: only the exact text is.
        {0, " --", 0}, {0, "--.-", 0}, {0, "", 0},
        // No number is 0 in the unit shown, which in °F is -17.8 °C.
        {0, "abc", 0}, {1, "abc", -178}, {0, "nan", 0}, {0, "inf", 0},
        {0, " 12.5xyz", 125}, {0, "12,5", 120}, {0, "+3", 30}, {0, "1e1", 100},
        // Beyond 32 bits saturates.
        {0, "214748364.6", kMax - 1}, {0, "214748364.7", kMax}, {0, "214748364.8", kMax}, {0, "-214748364.8", kMin},
        {0, "-214748364.9", kMin}, {0, "1e300", kMax}, {1, "-1e300", kMin}, {0, "1e999", kMax},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseTemperature(c.code, c.text), c.value) << int(c.code) << " '" << c.text << "'";
}

TEST(ParsePressureTest, UnitsRoundingAndMarker)
{
    const ParseCase cases[] = {
        {2, "987.0", 9870}, {2, "987.04", 9870}, {2, "987.05", 9871}, {1, "740.3", 9870}, {0, "29.15", 9871},
        {3, "740.3", 9870}, {255, "740.3", 9870}, {1, "1", 13}, {0, "1", 339}, {2, "--", 0xFFFF}, {0, "--", 0xFFFF},
        {2, "x", 0},
        // Adding one half before truncating toward zero moves exact negative
        // values up by one; negative pressures never pass the dialogs' checks.
        {2, "-1", -9}, {2, "-0.07", 0}, {0, "1e30", kMax}, {1, "-1e30", kMin},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParsePressure(c.code, c.text), c.value) << int(c.code) << " '" << c.text << "'";
}

TEST(ParseWindTest, UnitsBeaufortAndMarker)
{
    const ParseCase cases[] = {
        {0, "3.4", 34}, {1, "12.2", 34}, {3, "7.6", 34}, {4, "6.6", 34}, {5, "11.2", 34}, {255, "11.2", 34},
        {1, "36", 100},
        // Beaufort: the class rounded, then its lowest speed.
        {2, "0", 0}, {2, "0.4", 0}, {2, "0.5", 3}, {2, "1", 3}, {2, "2", 15}, {2, "2.4", 15}, {2, "2.5", 34},
        {2, "3", 34}, {2, "4", 54}, {2, "5", 79}, {2, "6", 107}, {2, "7", 138}, {2, "8", 171}, {2, "9", 207},
        {2, "10", 244}, {2, "10.4", 244}, {2, "10.5", 284},
        // Class 11 keeps its own start, so a shown "11" saved unchanged stays 11.
        {2, "11", 284}, {2, "11.4", 284}, {2, "11.5", 326}, {2, "12", 326}, {2, "13", 326}, {2, "1e300", 326},
        // Below the table reads as its lowest class.
        {2, "-1", 0}, {2, "-2", 0}, {2, "-1e300", 0}, {2, "--", 0xFFFF}, {0, "--", 0xFFFF}, {0, "1e300", kMax},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseWind(c.code, c.text), c.value) << int(c.code) << " '" << c.text << "'";
}

TEST(ParseRainTest, UnitsRoundingAndMarker)
{
    const ParseCase cases[] = {
        {0, "12.5", 125}, {0, "12.54", 125}, {0, "12.55", 126}, {1, "0.49", 124}, {1, "1", 254}, {2, "1", 254},
        {255, "1", 254}, {0, "6553.5", 0xFFFF}, {0, "--", 0xFFFF}, {1, "--", 0xFFFF}, {0, "", 0},
        {1, "1e400", kMax},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseRain(c.code, c.text), c.value) << int(c.code) << " '" << c.text << "'";
}

TEST(ParseIntegerTest, NumbersMarkersAndSaturation)
{
    struct Case {
        const char* text;
        bool wide;
        std::int32_t value;
    };
    const Case cases[] = {
        {"45", false, 45}, {"45", true, 45}, {"--", false, 255}, {"--", true, 0xFFFF}, {"---", true, 0},
        {" --", false, 0}, {" -12abc", false, -12}, {"+7", false, 7}, {"- 7", false, 0}, {"12.7", false, 12},
        {"1e3", false, 1}, {"abc", true, 0}, {"", false, 0}, {"0042", false, 42}, {"2147483647", true, kMax},
        {"2147483648", true, kMax}, {"-2147483648", true, kMin}, {"-2147483649", true, kMin},
        {"99999999999999999999999999", true, kMax}, {"-99999999999999999999999999", true, kMin},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseInteger(c.text, c.wide), c.value) << "'" << c.text << "'";
}

// A value shown number-only and typed back unchanged comes back exactly when
// one step of the display is under one tenth of the console unit, and within
// half a display step plus the rounding otherwise.
TEST(ParseRoundTripTest, FormatThenParse)
{
    struct Trip {
        const char* name;
        std::string (*format)(std::uint8_t, std::int32_t);
        std::int32_t (*parse)(std::uint8_t, std::string_view);
        std::uint8_t code;
        std::int32_t first;
        std::int32_t last;
        std::int32_t tolerance;
    };
    const auto temperature = [](std::uint8_t u, std::int32_t v) { return FormatTemperature(u, Show::NumberOnly, v); };
    const auto pressure = [](std::uint8_t u, std::int32_t v) { return FormatPressure(u, Show::NumberOnly, v); };
    const auto wind = [](std::uint8_t u, std::int32_t v) { return FormatWind(u, Show::NumberOnly, v); };
    const auto rain = [](std::uint8_t u, std::int32_t v) { return FormatRain(u, RainFormat::NumberOnly, v); };
    const Trip trips[] = {
        {"°C", temperature, ParseTemperature, 0, -2000, 2000, 0},
        {"°F", temperature, ParseTemperature, 1, -2000, 2000, 0}, {"hPa", pressure, ParsePressure, 2, 0, 20000, 0},
        {"mmHg", pressure, ParsePressure, 1, 0, 20000, 1}, {"inHg", pressure, ParsePressure, 0, 0, 20000, 2},
        {"m/s", wind, ParseWind, 0, 0, 5000, 0}, {"km/h", wind, ParseWind, 1, 0, 5000, 0},
        {"mph", wind, ParseWind, 3, 0, 5000, 0}, {"knot", wind, ParseWind, 4, 0, 5000, 0},
        {"ft/s", wind, ParseWind, 5, 0, 5000, 0}, {"mm", rain, ParseRain, 0, 0, 100000, 0},
        {"in", rain, ParseRain, 1, 0, 100000, 1},
    };
    for (const auto& t : trips) {
        std::int32_t worst = 0;
        for (std::int32_t v = t.first; v <= t.last; ++v) {
            if (v == 0x7FFF || v == 0xFFFF)
                continue;
            const std::string text = t.format(t.code, v);
            const std::int32_t back = t.parse(t.code, text);
            worst = std::max(worst, std::abs(back - v));
            if (std::abs(back - v) > t.tolerance) {
                ADD_FAILURE() << t.name << ": " << v << " -> '" << text << "' -> " << back;
                break;
            }
        }
        if (t.tolerance > 0) {
            EXPECT_EQ(worst, t.tolerance) << t.name << ": the bound is not tight";
        }
    }
}

TEST(ParseRoundTripTest, BeaufortGivesTheClassStart)
{
    for (std::int32_t v = 0; v <= 400; ++v) {
        const std::int32_t back = ParseWind(kWindBeaufort, FormatWind(kWindBeaufort, Show::NumberOnly, v));
        EXPECT_EQ(BeaufortClass(back), BeaufortClass(v)) << v;
        EXPECT_TRUE(back == 0 || BeaufortClass(back - 1) == BeaufortClass(v) - 1) << v;
    }
}

TEST(StoreBigEndian32Test, ByteOrderAndWideMarker)
{
    struct Case {
        std::int32_t value;
        std::array<std::uint8_t, 4> bytes;
    };
    const Case cases[] = {
        {258, {0x00, 0x00, 0x01, 0x02}}, {0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF}}, {0xFFFE, {0x00, 0x00, 0xFF, 0xFE}},
        {0x10000, {0x00, 0x01, 0x00, 0x00}}, {0x7FFF, {0x00, 0x00, 0x7F, 0xFF}},
        {0x00FFFFFF, {0x00, 0xFF, 0xFF, 0xFF}}, {0x12345678, {0x12, 0x34, 0x56, 0x78}},
        {0, {0x00, 0x00, 0x00, 0x00}}, {-1, {0xFF, 0xFF, 0xFF, 0xFF}}, {-2, {0xFF, 0xFF, 0xFF, 0xFE}},
        {-200, {0xFF, 0xFF, 0xFF, 0x38}}, {kMin, {0x80, 0x00, 0x00, 0x00}}, {kMax, {0x7F, 0xFF, 0xFF, 0xFF}},
    };
    for (const auto& c : cases) {
        // Written into the middle of a larger block: the neighbours stay.
        std::array<std::uint8_t, 6> block{0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA};
        StoreBigEndian32(c.value, std::span<std::uint8_t, 6>(block).subspan<1, 4>());
        const std::array<std::uint8_t, 6> expected{0xAA, c.bytes[0], c.bytes[1], c.bytes[2], c.bytes[3], 0xAA};
        EXPECT_EQ(block, expected) << c.value;
    }
}

}  // namespace
}  // namespace vorelle
