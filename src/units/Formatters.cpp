#include "units/Formatters.h"

#include "units/NumberText.h"

#include <algorithm>
#include <array>

namespace vorelle {

namespace {

constexpr std::int32_t kWordMissing = 0xFFFF;
constexpr std::int32_t kTempMissing = 0x7FFF;
constexpr std::int32_t kByteMissing = 255;
constexpr std::int32_t kRainMissing = -1;
constexpr std::int32_t kLightMissing = 0x00FFFFFF;

// Lowest wind speed of each Beaufort class, in tenths of m/s.
constexpr int kTopBeaufort = 12;
constexpr std::array<std::int32_t, kTopBeaufort + 1> kBeaufortStarts{0,   3,   15,  34,  54,  79, 107,
                                                                     138, 171, 207, 244, 284, 326};

// Shown values pass through single precision: the reading in whole units is
// rounded to float, and each conversion (done in double from that float) is
// rounded to float again before printing. Near a rounding boundary the digits
// shown depend on every one of these steps, so none may be skipped or merged.
float WholeUnits(std::int32_t tenths)
{
    return static_cast<float>(static_cast<double>(tenths) / 10.0);
}

float Single(double value)
{
    return static_cast<float>(value);
}

std::string Fixed(float value, int decimals)
{
    std::string text;
    AppendFixed(text, value, decimals);
    return text;
}

void AppendUnit(std::string& text, std::string_view unit)
{
    text += ' ';
    text += unit;
}

// Light above 1000 of its unit is shown in thousands with a " k" before the
// unit; exactly 1000 is not.
std::string LightNumber(float value, int decimals)
{
    if (value > 1000.0f) {
        std::string text = Fixed(Single(static_cast<double>(value) / 1000.0), decimals);
        text += " k";
        return text;
    }
    return Fixed(value, decimals);
}

struct LightInUnit {
    float value;
    int decimals;
};

LightInUnit ConvertLight(std::uint8_t unitCode, std::int32_t tenthsOfLux)
{
    const float lux = WholeUnits(tenthsOfLux);
    switch (unitCode) {
    case kLightLux:
        return {lux, 1};
    case kLightFootCandles:
        return {Single(static_cast<double>(lux) / 10.76391), 2};
    default:
        return {Single(static_cast<double>(lux) / 126.7), 2};
    }
}

}  // namespace

std::string_view TemperatureUnitName(std::uint8_t code)
{
    return code == kTempCelsius ? "\xC2\xB0" "C" : "\xC2\xB0" "F";
}

std::string_view PressureUnitName(std::uint8_t code)
{
    switch (code) {
    case kPressureInHg:
        return "inHg";
    case kPressureHpa:
        return "hPa";
    default:
        return "mmHg";
    }
}

std::string_view WindUnitName(std::uint8_t code)
{
    switch (code) {
    case kWindMetresPerSecond:
        return "m/s";
    case kWindKmPerHour:
        return "km/h";
    case kWindBeaufort:
        return "bft";
    case kWindMph:
        return "mph";
    case kWindKnot:
        return "knot";
    default:
        return "ft/s";
    }
}

std::string_view RainUnitName(std::uint8_t code)
{
    return code == kRainMillimetres ? "mm" : "in";
}

std::string_view LightUnitName(std::uint8_t code)
{
    switch (code) {
    case kLightLux:
        return "lux";
    case kLightFootCandles:
        return "fc";
    default:
        return "w/m2";
    }
}

int BeaufortClass(std::int32_t tenthsOfMetresPerSecond)
{
    int beaufort = 0;
    while (beaufort < kTopBeaufort && tenthsOfMetresPerSecond >= kBeaufortStarts[beaufort + 1])
        ++beaufort;
    return beaufort;
}

std::int32_t BeaufortClassStart(int beaufort)
{
    return kBeaufortStarts[static_cast<std::size_t>(std::clamp(beaufort, 0, kTopBeaufort))];
}

std::string FormatTemperature(std::uint8_t unitCode, Show show, std::int32_t value)
{
    if (value == kTempMissing || value == kWordMissing)
        return std::string(kMissingValueText);
    const float celsius = WholeUnits(value);
    const float shown = unitCode == kTempCelsius ? celsius : Single(static_cast<double>(celsius) * 1.8 + 32.0);
    std::string text = Fixed(shown, 1);
    if (show == Show::WithUnit)
        AppendUnit(text, TemperatureUnitName(unitCode));
    return text;
}

std::string FormatPressure(std::uint8_t unitCode, Show show, std::int32_t value)
{
    if (value == kWordMissing || value == kTempMissing)
        return std::string(kMissingValueText);
    const double hpa = WholeUnits(value);
    std::string text;
    switch (unitCode) {
    case kPressureHpa:
        text = Fixed(Single(hpa), 1);
        break;
    case kPressureInHg:
        text = Fixed(Single(hpa / 33.86388), 2);
        break;
    default:
        text = Fixed(Single(hpa / 1.33322), 1);
        break;
    }
    if (show == Show::WithUnit)
        AppendUnit(text, PressureUnitName(unitCode));
    return text;
}

std::string FormatWind(std::uint8_t unitCode, Show show, std::int32_t value)
{
    if (value == kWordMissing || value == kTempMissing)
        return std::string(kMissingValueText);
    const double speed = WholeUnits(value);
    std::string text;
    switch (unitCode) {
    case kWindMetresPerSecond:
        text = Fixed(Single(speed), 1);
        break;
    case kWindKmPerHour:
        text = Fixed(Single(speed * 3.6), 1);
        break;
    case kWindBeaufort:
        // The class comes from the reading itself, not from the rounded speed.
        AppendInteger(text, BeaufortClass(value));
        break;
    case kWindMph:
        text = Fixed(Single(speed * 2.236936), 1);
        break;
    case kWindKnot:
        text = Fixed(Single(speed * 1.943844), 1);
        break;
    default:
        text = Fixed(Single(speed * 3.2808), 1);
        break;
    }
    if (show == Show::WithUnit)
        AppendUnit(text, WindUnitName(unitCode));
    return text;
}

std::string FormatRain(std::uint8_t unitCode, RainFormat format, std::int32_t value)
{
    if (value == kRainMissing)
        return std::string(kMissingValueText);
    const double mm = WholeUnits(value);
    std::string text = unitCode == kRainMillimetres ? Fixed(Single(mm), 1) : Fixed(Single(mm / 25.4), 2);
    if (format != RainFormat::NumberOnly) {
        AppendUnit(text, RainUnitName(unitCode));
        if (format == RainFormat::Rate)
            text += "/h";
    }
    return text;
}

std::string FormatLight(std::uint8_t unitCode, std::int32_t value)
{
    if (value == kLightMissing || value == kRainMissing)
        return std::string(kMissingValueText);
    const LightInUnit light = ConvertLight(unitCode, value);
    std::string text = LightNumber(light.value, light.decimals);
    AppendUnit(text, LightUnitName(unitCode));
    return text;
}

std::string FormatLightNumber(std::uint8_t unitCode, std::int32_t value)
{
    if (value == kLightMissing || value == kRainMissing)
        return std::string(kMissingValueText);
    const LightInUnit light = ConvertLight(unitCode, value);
    return Fixed(light.value, light.decimals);
}

std::string FormatPercent(PercentFormat format, std::int32_t value)
{
    if (value == kByteMissing || value == kWordMissing)
        return std::string(kMissingIntegerText);
    std::string text;
    AppendInteger(text, value);
    if (format == PercentFormat::WithSign)
        text += " %";
    return text;
}

std::string FormatPm25(std::int32_t value)
{
    if (value == kWordMissing)
        return std::string(kMissingValueText);
    std::string text = Fixed(WholeUnits(value), 1);
    text += " ug/m3";
    return text;
}

}  // namespace vorelle
