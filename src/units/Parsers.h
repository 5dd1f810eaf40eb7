#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace vorelle {

// Reading values typed in the settings dialogs back into the console's
// scale, in the unit the dialog shows (the same codes as the formatters).
// Only the leading number of the text counts; text without one reads as 0,
// and "--" (exactly) is the missing marker. Range checks are the dialogs'
// business; results that would not fit in 32 bits saturate.

// The marker "--" becomes. `ParseInteger` returns kParsedMissingByte instead
// for a narrow field.
inline constexpr std::int32_t kParsedMissing = 0xFFFF;
inline constexpr std::int32_t kParsedMissingByte = 255;

// Adds one half away from zero and truncates toward zero, saturating at the
// ends of 32 bits.
std::int32_t RoundHalfAwayFromZero(double value);

// Tenths of °C, rounded half away from zero.
std::int32_t ParseTemperature(std::uint8_t unitCode, std::string_view text);
// Tenths of hPa; adds one half and truncates toward zero.
std::int32_t ParsePressure(std::uint8_t unitCode, std::string_view text);
// Tenths of m/s; adds one half and truncates toward zero. In Beaufort the
// class is rounded and its lowest speed returned.
std::int32_t ParseWind(std::uint8_t unitCode, std::string_view text);
// Tenths of mm; adds one half and truncates toward zero.
std::int32_t ParseRain(std::uint8_t unitCode, std::string_view text);
// A whole number; "--" gives 0xFFFF for a wide field, 255 otherwise.
std::int32_t ParseInteger(std::string_view text, bool wide);

// Writes `value` most significant byte first. The 16-bit marker 0xFFFF is
// widened to FF FF FF FF, the console's "not set" at this width.
void StoreBigEndian32(std::int32_t value, std::span<std::uint8_t, 4> bytes);

}  // namespace vorelle
