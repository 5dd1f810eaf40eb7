#include "units/Formatters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace vorelle {
namespace {

constexpr std::int32_t kLowest = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kHighest = std::numeric_limits<std::int32_t>::max();

// Codes beyond the console's table, which show as its last column.
const std::vector<std::uint8_t> kOtherCodes{5, 6, 127, 255};

#define DEG "\xC2\xB0"

struct UnitCase {
    std::uint8_t code;
    Show show;
    std::int32_t value;
    const char* text;
};

std::vector<UnitCase> WithOtherCodes(std::vector<UnitCase> cases, const UnitCase& pattern)
{
    for (const std::uint8_t code : kOtherCodes)
        cases.push_back({code, pattern.show, pattern.value, pattern.text});
    return cases;
}

TEST(FormatTemperatureTest, EveryUnitModeAndMarker)
{
    const auto cases = WithOtherCodes(
        {
            {0, Show::WithUnit, 250, "25.0 " DEG "C"}, {0, Show::NumberOnly, 250, "25.0"},
            {1, Show::WithUnit, 250, "77.0 " DEG "F"}, {1, Show::NumberOnly, 250, "77.0"},
            {2, Show::WithUnit, 250, "77.0 " DEG "F"}, {3, Show::WithUnit, 250, "77.0 " DEG "F"},
            {4, Show::NumberOnly, 250, "77.0"},
            // Negative readings are values, never markers.
            {0, Show::WithUnit, -1, "-0.1 " DEG "C"}, {0, Show::WithUnit, -400, "-40.0 " DEG "C"},
            {1, Show::WithUnit, -400, "-40.0 " DEG "F"}, {0, Show::WithUnit, -32768, "-3276.8 " DEG "C"},
            {1, Show::WithUnit, 0, "32.0 " DEG "F"}, {1, Show::WithUnit, 5, "32.9 " DEG "F"},
            // -17.8 °C is -0.04 °F, which "%0.1f" prints with its sign.
            {1, Show::NumberOnly, -178, "-0.0"}, {1, Show::NumberOnly, -177, "0.1"},
            // Both markers, in every unit and mode; their neighbours are values.
            {0, Show::WithUnit, 0x7FFF, "--.-"}, {0, Show::NumberOnly, 0xFFFF, "--.-"},
            {1, Show::WithUnit, 0xFFFF, "--.-"}, {1, Show::NumberOnly, 0x7FFF, "--.-"},
            {255, Show::WithUnit, 0x7FFF, "--.-"}, {0, Show::WithUnit, 0x7FFE, "3276.6 " DEG "C"},
            {0, Show::WithUnit, 0x8000, "3276.8 " DEG "C"}, {0, Show::WithUnit, 0xFFFE, "6553.4 " DEG "C"},
            {0, Show::WithUnit, 0x10000, "6553.6 " DEG "C"}, {0, Show::WithUnit, -0x7FFF, "-3276.7 " DEG "C"},
            // Far outside any reading, printed through single precision.
            {0, Show::NumberOnly, kHighest, "214748368.0"}, {0, Show::NumberOnly, kLowest, "-214748368.0"},
        },
        {0, Show::WithUnit, 250, "77.0 " DEG "F"});
    for (const auto& c : cases)
        EXPECT_EQ(FormatTemperature(c.code, c.show, c.value), c.text) << int(c.code) << " " << c.value;
}

TEST(FormatPressureTest, EveryUnitModeAndMarker)
{
    const auto cases = WithOtherCodes(
        {
            {2, Show::WithUnit, 9870, "987.0 hPa"}, {1, Show::WithUnit, 9870, "740.3 mmHg"},
            {0, Show::WithUnit, 9870, "29.15 inHg"}, {3, Show::WithUnit, 9870, "740.3 mmHg"},
            {4, Show::WithUnit, 9870, "740.3 mmHg"}, {2, Show::NumberOnly, 9870, "987.0"},
            {1, Show::NumberOnly, 9870, "740.3"}, {0, Show::NumberOnly, 9870, "29.15"},
            {2, Show::WithUnit, 0, "0.0 hPa"}, {2, Show::WithUnit, -1, "-0.1 hPa"},
            {0, Show::WithUnit, -1, "-0.00 inHg"}, {2, Show::WithUnit, 0xFFFE, "6553.4 hPa"},
            {2, Show::WithUnit, 0x10000, "6553.6 hPa"},
            {0, Show::WithUnit, 0xFFFF, "--.-"}, {1, Show::WithUnit, 0x7FFF, "--.-"},
            {2, Show::NumberOnly, 0xFFFF, "--.-"}, {255, Show::NumberOnly, 0x7FFF, "--.-"},
            // 392.3 hPa is 294.2500021 mmHg in double, exactly 294.25 once
            // rounded to float, and printf breaks that tie to even.
            {1, Show::WithUnit, 3923, "294.2 mmHg"},
        },
        {0, Show::WithUnit, 9870, "740.3 mmHg"});
    for (const auto& c : cases)
        EXPECT_EQ(FormatPressure(c.code, c.show, c.value), c.text) << int(c.code) << " " << c.value;
}

TEST(FormatWindTest, EveryUnitModeAndMarker)
{
    const auto cases = WithOtherCodes(
        {
            {0, Show::WithUnit, 34, "3.4 m/s"}, {1, Show::WithUnit, 34, "12.2 km/h"},
            {2, Show::WithUnit, 34, "3 bft"}, {3, Show::WithUnit, 34, "7.6 mph"},
            {4, Show::WithUnit, 34, "6.6 knot"}, {0, Show::NumberOnly, 34, "3.4"},
            {1, Show::NumberOnly, 34, "12.2"}, {2, Show::NumberOnly, 34, "3"}, {3, Show::NumberOnly, 34, "7.6"},
            {4, Show::NumberOnly, 34, "6.6"}, {5, Show::NumberOnly, 34, "11.2"}, {2, Show::WithUnit, 33, "2 bft"},
            {2, Show::WithUnit, 325, "11 bft"}, {2, Show::WithUnit, 326, "12 bft"},
            {2, Show::WithUnit, 0x7FFE, "12 bft"}, {2, Show::WithUnit, -5, "0 bft"},
            {0, Show::WithUnit, 0xFFFF, "--.-"}, {2, Show::WithUnit, 0xFFFF, "--.-"},
            {2, Show::NumberOnly, 0x7FFF, "--.-"}, {5, Show::WithUnit, 0x7FFF, "--.-"},
            // The conversion runs in double from the float reading: 1190.0499 mph
            // and 1435.3499 ft/s, where float arithmetic gives 1190.0500 and 1435.3501.
            {3, Show::WithUnit, 5320, "1190.0 mph"}, {5, Show::WithUnit, 4375, "1435.3 ft/s"},
        },
        {0, Show::WithUnit, 34, "11.2 ft/s"});
    for (const auto& c : cases)
        EXPECT_EQ(FormatWind(c.code, c.show, c.value), c.text) << int(c.code) << " " << c.value;
}

TEST(BeaufortClassTest, ClassEdges)
{
    struct Edge {
        std::int32_t lastOfClass;  // the next value starts the next class
        int beaufort;
    };
    const Edge edges[] = {{2, 0},    {14, 1},   {33, 2},   {53, 3},   {78, 4},   {106, 5},
                          {137, 6},  {170, 7},  {206, 8},  {243, 9},  {283, 10}, {325, 11}};
    for (const auto& e : edges) {
        EXPECT_EQ(BeaufortClass(e.lastOfClass), e.beaufort) << e.lastOfClass;
        EXPECT_EQ(BeaufortClass(e.lastOfClass + 1), e.beaufort + 1) << e.lastOfClass + 1;
    }
    for (int beaufort = 0; beaufort <= 12; ++beaufort) {
        const std::int32_t start = BeaufortClassStart(beaufort);
        EXPECT_EQ(BeaufortClass(start), beaufort) << beaufort;
        EXPECT_EQ(BeaufortClass(start - 1), std::max(beaufort - 1, 0)) << beaufort;
    }
    EXPECT_EQ(BeaufortClassStart(0), 0);
    EXPECT_EQ(BeaufortClassStart(-1), 0);
    EXPECT_EQ(BeaufortClassStart(12), 326);
    EXPECT_EQ(BeaufortClassStart(13), 326);
    EXPECT_EQ(BeaufortClassStart(std::numeric_limits<int>::max()), 326);
    EXPECT_EQ(BeaufortClassStart(std::numeric_limits<int>::min()), 0);
    EXPECT_EQ(BeaufortClass(0), 0);
    EXPECT_EQ(BeaufortClass(-1), 0);
    EXPECT_EQ(BeaufortClass(kLowest), 0);
    EXPECT_EQ(BeaufortClass(kHighest), 12);
}

struct RainCase {
    std::uint8_t code;
    RainFormat format;
    std::int32_t value;
    const char* text;
};

TEST(FormatRainTest, EveryUnitFormatAndMarker)
{
    std::vector<RainCase> cases{
        {0, RainFormat::WithUnit, 125, "12.5 mm"}, {0, RainFormat::NumberOnly, 125, "12.5"},
        {0, RainFormat::Rate, 125, "12.5 mm/h"}, {1, RainFormat::WithUnit, 125, "0.49 in"},
        {1, RainFormat::NumberOnly, 125, "0.49"}, {1, RainFormat::Rate, 125, "0.49 in/h"},
        {1, RainFormat::WithUnit, 1, "0.00 in"}, {0, RainFormat::WithUnit, 0, "0.0 mm"},
        {0, RainFormat::WithUnit, -2, "-0.2 mm"},
        // Only -1 is missing for rain; the 16-bit markers are amounts.
        {0, RainFormat::WithUnit, 0xFFFF, "6553.5 mm"}, {1, RainFormat::WithUnit, 0xFFFF, "258.01 in"},
        {0, RainFormat::WithUnit, 0x7FFF, "3276.7 mm"}, {0, RainFormat::WithUnit, -1, "--.-"},
        {0, RainFormat::NumberOnly, -1, "--.-"}, {0, RainFormat::Rate, -1, "--.-"},
        {1, RainFormat::Rate, -1, "--.-"}, {0, RainFormat::NumberOnly, kHighest, "214748368.0"},
    };
    for (const std::uint8_t code : std::vector<std::uint8_t>{2, 3, 4, 5, 255}) {
        cases.push_back({code, RainFormat::WithUnit, 125, "0.49 in"});
        cases.push_back({code, RainFormat::Rate, 125, "0.49 in/h"});
        cases.push_back({code, RainFormat::Rate, -1, "--.-"});
    }
    for (const auto& c : cases)
        EXPECT_EQ(FormatRain(c.code, c.format, c.value), c.text) << int(c.code) << " " << c.value;
}

TEST(FormatLightTest, EveryUnitThousandsAndMarker)
{
    struct Case {
        std::uint8_t code;
        std::int32_t value;
        const char* text;
    };
    std::vector<Case> cases{
        {0, 20000, "2.0 k lux"}, {1, 20000, "15.79 w/m2"}, {2, 20000, "185.81 fc"},
        // "Above 1000" is strict, in each unit's own value.
        {0, 10000, "1000.0 lux"}, {0, 10001, "1.0 k lux"}, {1, 1267000, "1000.00 w/m2"},
        {1, 1267010, "1.00 k w/m2"}, {2, 107639, "1000.00 fc"}, {2, 107640, "1.00 k fc"},
        // 1.25 is exact in binary, and "%0.1f" breaks the tie to even.
        {0, 12500, "1.2 k lux"}, {0, 12501, "1.3 k lux"},
        // 1244.9 lux is 115.6550012 fc in double, 115.6549988 once rounded to float.
        {2, 12449, "115.65 fc"}, {0, 0, "0.0 lux"}, {0, -5, "-0.5 lux"}, {0, 0xFFFF, "6.6 k lux"},
        {0, 0x00FFFFFE, "1677.7 k lux"}, {1, 0x00FFFFFE, "13.24 k w/m2"}, {2, 0x00FFFFFE, "155.87 k fc"},
        {0, 0x01000000, "1677.7 k lux"}, {0, 0x00FFFFFF, "--.-"}, {0, -1, "--.-"}, {1, -1, "--.-"},
        {2, 0x00FFFFFF, "--.-"}, {0, kLowest, "-214748368.0 lux"},
    };
    for (const std::uint8_t code : std::vector<std::uint8_t>{3, 4, 5, 255}) {
        cases.push_back({code, 20000, "15.79 w/m2"});
        cases.push_back({code, 0x00FFFFFF, "--.-"});
    }
    for (const auto& c : cases)
        EXPECT_EQ(FormatLight(c.code, c.value), c.text) << int(c.code) << " " << c.value;
}

TEST(FormatLightTest, NumberAloneNeverInThousands)
{
    struct Case {
        std::uint8_t code;
        std::int32_t value;
        const char* text;
    };
    const Case cases[] = {
        {0, 20000, "2000.0"}, {1, 20000, "15.79"}, {2, 20000, "185.81"}, {2, 12449, "115.65"},
        {0, 0x00FFFFFE, "1677721.4"}, {0, 0x00FFFFFF, "--.-"}, {1, -1, "--.-"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatLightNumber(c.code, c.value), c.text) << int(c.code) << " " << c.value;
}

TEST(FormatPercentTest, ModesAndMarkers)
{
    struct Case {
        PercentFormat format;
        std::int32_t value;
        const char* text;
    };
    const Case cases[] = {
        {PercentFormat::WithSign, 45, "45 %"},  {PercentFormat::Plain, 45, "45"},
        {PercentFormat::WithSign, 0, "0 %"},    {PercentFormat::Plain, 0, "0"},
        {PercentFormat::WithSign, 254, "254 %"}, {PercentFormat::WithSign, 256, "256 %"},
        {PercentFormat::WithSign, 255, "--"},   {PercentFormat::Plain, 255, "--"},
        {PercentFormat::WithSign, 0xFFFF, "--"}, {PercentFormat::Plain, 0xFFFF, "--"},
        {PercentFormat::Plain, 0xFFFE, "65534"}, {PercentFormat::WithSign, -1, "-1 %"},
        {PercentFormat::WithSign, kLowest, "-2147483648 %"}, {PercentFormat::Plain, kHighest, "2147483647"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatPercent(c.format, c.value), c.text) << c.value;
}

TEST(FormatPm25Test, ValuesAndMarker)
{
    EXPECT_EQ(FormatPm25(255), "25.5 ug/m3");
    EXPECT_EQ(FormatPm25(0), "0.0 ug/m3");
    EXPECT_EQ(FormatPm25(255 * 256), "6528.0 ug/m3");
    EXPECT_EQ(FormatPm25(0xFFFE), "6553.4 ug/m3");
    EXPECT_EQ(FormatPm25(0xFFFF), "--.-");
    EXPECT_EQ(FormatPm25(0x7FFF), "3276.7 ug/m3");
    EXPECT_EQ(FormatPm25(-1), "-0.1 ug/m3");
}

TEST(UnitNameTest, EveryCode)
{
    struct Case {
        std::uint8_t code;
        const char* temperature;
        const char* pressure;
        const char* wind;
        const char* rain;
        const char* light;
    };
    const Case cases[] = {
        {0, DEG "C", "inHg", "m/s", "mm", "lux"}, {1, DEG "F", "mmHg", "km/h", "in", "w/m2"},
        {2, DEG "F", "hPa", "bft", "in", "fc"},   {3, DEG "F", "mmHg", "mph", "in", "w/m2"},
        {4, DEG "F", "mmHg", "knot", "in", "w/m2"}, {5, DEG "F", "mmHg", "ft/s", "in", "w/m2"},
        {255, DEG "F", "mmHg", "ft/s", "in", "w/m2"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TemperatureUnitName(c.code), c.temperature) << int(c.code);
        EXPECT_EQ(PressureUnitName(c.code), c.pressure) << int(c.code);
        EXPECT_EQ(WindUnitName(c.code), c.wind) << int(c.code);
        EXPECT_EQ(RainUnitName(c.code), c.rain) << int(c.code);
        EXPECT_EQ(LightUnitName(c.code), c.light) << int(c.code);
    }
}

// Whatever the code and value, a formatter gives either its marker or a
// number followed by the unit it names.
TEST(FormattersTest, AnyCodeAndValueGiveNumberOrMarker)
{
    const std::int32_t values[] = {kLowest, kLowest + 1, -0x10000, -1, 0, 1, 0x7FFF, 0xFFFF, 0x00FFFFFF, kHighest - 1, kHighest};
    const auto startsWithNumber = [](const std::string& text) {
        const std::size_t at = !text.empty() && text[0] == '-' ? 1 : 0;
        return at < text.size() && text[at] >= '0' && text[at] <= '9';
    };
    for (int code = 0; code <= 255; ++code) {
        const auto unit = static_cast<std::uint8_t>(code);
        for (const std::int32_t v : values) {
            const std::string texts[] = {
                FormatTemperature(unit, Show::WithUnit, v),
                FormatPressure(unit, Show::WithUnit, v),
                FormatWind(unit, Show::WithUnit, v),
                FormatRain(unit, RainFormat::Rate, v),
                FormatLight(unit, v),
            };
            const std::string_view units[] = {TemperatureUnitName(unit), PressureUnitName(unit), WindUnitName(unit),
                                              RainUnitName(unit), LightUnitName(unit)};
            for (std::size_t i = 0; i < std::size(texts); ++i) {
                if (texts[i] == kMissingValueText)
                    continue;
                EXPECT_TRUE(startsWithNumber(texts[i])) << texts[i];
                EXPECT_NE(texts[i].find(units[i]), std::string::npos) << texts[i];
            }
        }
    }
}

}  // namespace
}  // namespace vorelle
