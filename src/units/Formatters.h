#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorelle {

// Value formatting for the main window and the settings dialogs. Every value
// arrives in the console's own scale (tenths of °C, hPa, m/s, mm and lux) and
// every function takes the unit code it should show, read once by the caller
// from `UnitCodes`, so the functions hold no state. Texts are UTF-8 and always
// use a point as the decimal separator.

// Unit codes as the console reports them. Codes it does not define show as
// the last column of its table: °F, mmHg, ft/s, in, w/m2.
inline constexpr std::uint8_t kTempCelsius = 0;
inline constexpr std::uint8_t kTempFahrenheit = 1;
inline constexpr std::uint8_t kPressureInHg = 0;
inline constexpr std::uint8_t kPressureMmHg = 1;
inline constexpr std::uint8_t kPressureHpa = 2;
inline constexpr std::uint8_t kWindMetresPerSecond = 0;
inline constexpr std::uint8_t kWindKmPerHour = 1;
inline constexpr std::uint8_t kWindBeaufort = 2;
inline constexpr std::uint8_t kWindMph = 3;
inline constexpr std::uint8_t kWindKnot = 4;
inline constexpr std::uint8_t kWindFeetPerSecond = 5;
inline constexpr std::uint8_t kRainMillimetres = 0;
inline constexpr std::uint8_t kRainInches = 1;
inline constexpr std::uint8_t kLightLux = 0;
inline constexpr std::uint8_t kLightWattsPerSquareMetre = 1;
inline constexpr std::uint8_t kLightFootCandles = 2;

// Shown instead of a missing decimal reading, and instead of a missing
// integer (humidity, percentages, plain counts).
inline constexpr std::string_view kMissingValueText = "--.-";
inline constexpr std::string_view kMissingIntegerText = "--";

// Temperature mode 0/1; pressure and wind number-only flag 0/set.
enum class Show { WithUnit, NumberOnly };
// Rain amount with unit, number only, or as a rate ("mm/h", "in/h").
enum class RainFormat { WithUnit = 0, NumberOnly = 1, Rate = 2 };
// "45 %" or plain "45" (UV index, humidity thresholds).
enum class PercentFormat { WithSign = 0, Plain = 2 };

// Tenths of °C. Missing: 0x7FFF or 0xFFFF.
std::string FormatTemperature(std::uint8_t unitCode, Show show, std::int32_t value);
// Tenths of hPa. Missing: 0xFFFF or 0x7FFF.
std::string FormatPressure(std::uint8_t unitCode, Show show, std::int32_t value);
// Tenths of m/s. Missing: 0xFFFF or 0x7FFF.
std::string FormatWind(std::uint8_t unitCode, Show show, std::int32_t value);
// Tenths of mm. Missing: -1 only; 0xFFFF is a real amount here.
std::string FormatRain(std::uint8_t unitCode, RainFormat format, std::int32_t value);
// Tenths of lux, always with unit; large values in thousands ("2.0 k lux").
// Missing: 0x00FFFFFF or -1.
std::string FormatLight(std::uint8_t unitCode, std::int32_t value);
// The same light as a plain number in the unit, never in thousands (the
// recording files' form). Missing: as FormatLight.
std::string FormatLightNumber(std::uint8_t unitCode, std::int32_t value);
// Whole numbers. Missing: 255 or 0xFFFF.
std::string FormatPercent(PercentFormat format, std::int32_t value);
// Tenths of µg/m³, always with unit. Missing: 0xFFFF.
std::string FormatPm25(std::int32_t value);

// Beaufort class 0 to 12 of a wind speed in tenths of m/s.
int BeaufortClass(std::int32_t tenthsOfMetresPerSecond);
// Lowest speed of a Beaufort class in tenths of m/s; classes outside 0 to 12
// take the nearer end.
std::int32_t BeaufortClassStart(int beaufort);

// Unit names as shown next to the values and on the dialogs' fields.
std::string_view TemperatureUnitName(std::uint8_t code);
std::string_view PressureUnitName(std::uint8_t code);
std::string_view WindUnitName(std::uint8_t code);
std::string_view RainUnitName(std::uint8_t code);
std::string_view LightUnitName(std::uint8_t code);

}  // namespace vorelle
