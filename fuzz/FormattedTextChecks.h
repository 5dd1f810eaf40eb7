#pragma once

// Checks that every formatter shows a value as its contract in
// units/Formatters.h says: the missing text exactly for its quantity's
// missing markers; otherwise the number in the unit's decimals, within
// rounding of the value converted by the unit's own constant, followed by
// the unit's name. The console's table of units and conversion constants is
// written out here a second time, so that the formatters are held against it.

#include "FuzzCheck.h"
#include "live/LiveValues.h"
#include "units/Formatters.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

namespace vorelle::fuzz {

namespace formatted {

// How a unit shows a value in console units (tenths): x = value / 10, then
// x * scale + offset with `decimals` decimals.
struct Column {
    std::string_view unit;
    double scale;
    double offset;
    int decimals;
};

inline Column TemperatureColumn(std::uint8_t code)
{
    return code == 0 ? Column{"\xC2\xB0" "C", 1.0, 0.0, 1} : Column{"\xC2\xB0" "F", 1.8, 32.0, 1};
}

inline Column PressureColumn(std::uint8_t code)
{
    if (code == 0)
        return {"inHg", 1.0 / 33.86388, 0.0, 2};
    if (code == 2)
        return {"hPa", 1.0, 0.0, 1};
    return {"mmHg", 1.0 / 1.33322, 0.0, 1};
}

// Beaufort (code 2) shows a class, which is checked apart.
inline Column WindColumn(std::uint8_t code)
{
    switch (code) {
    case 0: return {"m/s", 1.0, 0.0, 1};
    case 1: return {"km/h", 3.6, 0.0, 1};
    case 3: return {"mph", 2.236936, 0.0, 1};
    case 4: return {"knot", 1.943844, 0.0, 1};
    default: return {"ft/s", 3.2808, 0.0, 1};
    }
}

inline Column RainColumn(std::uint8_t code)
{
    return code == 0 ? Column{"mm", 1.0, 0.0, 1} : Column{"in", 1.0 / 25.4, 0.0, 2};
}

inline Column LightColumn(std::uint8_t code)
{
    if (code == 0)
        return {"lux", 1.0, 0.0, 1};
    if (code == 2)
        return {"fc", 1.0 / 10.76391, 0.0, 2};
    return {"w/m2", 1.0 / 126.7, 0.0, 2};
}

// Lowest speed of each Beaufort class in tenths of m/s.
inline constexpr std::array<std::int32_t, 13> kBeaufortStarts{0, 3, 15, 34, 54, 79, 107, 138, 171, 207, 244, 284, 326};

inline bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Reads the number a formatter printed at the start of `text`: an optional
// minus, digits, and for `decimals` > 0 a point and exactly that many digits.
// Leaves `text` at what follows.
inline double ShownNumber(std::string_view& text, int decimals)
{
    std::size_t at = text.starts_with('-') ? 1 : 0;
    const std::size_t integerStart = at;
    while (at < text.size() && IsDigit(text[at]))
        ++at;
    Check(at > integerStart, "a shown number starts with digits");
    if (decimals > 0) {
        Check(at < text.size() && text[at] == '.', "a shown number has its point");
        const std::size_t fractionStart = ++at;
        while (at < text.size() && IsDigit(text[at]))
            ++at;
        Check(at - fractionStart == static_cast<std::size_t>(decimals), "a shown number has its unit's decimals");
    }
    double number = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + at, number);
    Check(result.ec == std::errc() && result.ptr == text.data() + at, "a shown number reads back");
    text.remove_prefix(at);
    return number;
}

// The converted value and the size of the numbers it came from: single
// precision on the way costs a few parts in ten million of those.
struct Converted {
    double value;
    double magnitude;
};

inline Converted Convert(const Column& column, std::int32_t value)
{
    const double scaled = static_cast<double>(value) / 10.0 * column.scale;
    return {scaled + column.offset, std::abs(scaled) + std::abs(column.offset)};
}

// The printed number is the converted value rounded to its decimals.
inline void CheckNear(double shown, const Converted& expected, int decimals)
{
    const double halfStep = 0.5 * std::pow(10.0, -decimals);
    Check(std::abs(shown - expected.value) <= halfStep + 1e-6 * expected.magnitude + 1e-9,
          "a shown number is the value in its unit");
}

// `text` is the value in `column` with nothing or exactly `suffix` after it.
inline void CheckDecimalText(std::string_view text, const Column& column, std::int32_t value, std::string_view suffix)
{
    CheckNear(ShownNumber(text, column.decimals), Convert(column, value), column.decimals);
    Check(text == suffix, "a shown number is followed by its unit");
}

inline std::string WithUnit(std::string_view unit, std::string_view after = {})
{
    std::string suffix = " ";
    suffix += unit;
    suffix += after;
    return suffix;
}

inline bool OneOf(std::int32_t value, std::int32_t a, std::int32_t b)
{
    return value == a || value == b;
}

using ShowFormatter = std::string (*)(std::uint8_t, Show, std::int32_t);

// Temperature, pressure and wind, with and without the unit; all three are
// missing at 0x7FFF and 0xFFFF.
inline void CheckShowModes(ShowFormatter format, std::uint8_t code, std::int32_t value, const Column& column)
{
    const std::string withUnit = format(code, Show::WithUnit, value);
    const std::string numberOnly = format(code, Show::NumberOnly, value);
    if (OneOf(value, 0x7FFF, 0xFFFF)) {
        Check(withUnit == kMissingValueText && numberOnly == kMissingValueText, "a missing reading shows --.-");
        return;
    }
    CheckDecimalText(withUnit, column, value, WithUnit(column.unit));
    CheckDecimalText(numberOnly, column, value, {});
}

inline void CheckWind(std::uint8_t code, std::int32_t value)
{
    if (code != kWindBeaufort || OneOf(value, 0x7FFF, 0xFFFF)) {
        CheckShowModes(FormatWind, code, value, WindColumn(code));
        return;
    }
    int beaufort = 0;
    while (beaufort < 12 && value >= kBeaufortStarts[beaufort + 1])
        ++beaufort;
    const std::string number = std::to_string(beaufort);
    Check(FormatWind(code, Show::NumberOnly, value) == number && FormatWind(code, Show::WithUnit, value) == number + " bft",
          "wind in bft shows the class of the speed");
}

inline void CheckRain(std::uint8_t code, std::int32_t value)
{
    const std::string withUnit = FormatRain(code, RainFormat::WithUnit, value);
    const std::string numberOnly = FormatRain(code, RainFormat::NumberOnly, value);
    const std::string rate = FormatRain(code, RainFormat::Rate, value);
    if (value == -1) {
        Check(withUnit == kMissingValueText && numberOnly == kMissingValueText && rate == kMissingValueText,
              "missing rain shows --.-");
        return;
    }
    const Column column = RainColumn(code);
    CheckDecimalText(withUnit, column, value, WithUnit(column.unit));
    CheckDecimalText(numberOnly, column, value, {});
    CheckDecimalText(rate, column, value, WithUnit(column.unit, "/h"));
}

inline void CheckLight(std::uint8_t code, std::int32_t value)
{
    const std::string shown = FormatLight(code, value);
    if (OneOf(value, 0x00FFFFFF, -1)) {
        Check(shown == kMissingValueText, "missing light shows --.-");
        return;
    }
    const Column column = LightColumn(code);
    const Converted expected = Convert(column, value);
    std::string_view text = shown;
    const double number = ShownNumber(text, column.decimals);
    // Strictly above 1000 of its unit, light is shown in thousands.
    if (text.starts_with(" k ")) {
        Check(expected.value >= 1000.0 - 1e-6 * expected.magnitude, "light in thousands is above 1000");
        CheckNear(number, {expected.value / 1000.0, expected.magnitude / 1000.0}, column.decimals);
        text.remove_prefix(2);
    } else {
        Check(expected.value <= 1000.0 + 1e-6 * expected.magnitude, "light up to 1000 is shown whole");
        CheckNear(number, expected, column.decimals);
    }
    Check(text == WithUnit(column.unit), "light is followed by its unit");
}

inline void CheckPercent(std::int32_t value)
{
    const std::string withSign = FormatPercent(PercentFormat::WithSign, value);
    const std::string plain = FormatPercent(PercentFormat::Plain, value);
    if (OneOf(value, 255, 0xFFFF)) {
        Check(withSign == kMissingIntegerText && plain == kMissingIntegerText, "a missing integer shows --");
        return;
    }
    Check(plain == std::to_string(value) && withSign == plain + " %", "an integer shows as itself");
}

inline void CheckPm25(std::int32_t value)
{
    const std::string shown = FormatPm25(value);
    if (value == 0xFFFF) {
        Check(shown == kMissingValueText, "missing PM2.5 shows --.-");
        return;
    }
    CheckDecimalText(shown, Column{"ug/m3", 1.0, 0.0, 1}, value, " ug/m3");
}

}  // namespace formatted

// Every formatter, in every mode, on `value` in the display units `units`.
inline void CheckEveryFormatter(std::int32_t value, const UnitCodes& units)
{
    formatted::CheckShowModes(FormatTemperature, units.temperature, value, formatted::TemperatureColumn(units.temperature));
    formatted::CheckShowModes(FormatPressure, units.pressure, value, formatted::PressureColumn(units.pressure));
    formatted::CheckWind(units.wind, value);
    formatted::CheckRain(units.rain, value);
    formatted::CheckLight(units.light, value);
    formatted::CheckPercent(value);
    formatted::CheckPm25(value);
}

}  // namespace vorelle::fuzz
