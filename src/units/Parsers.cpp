#include "units/Parsers.h"

#include "units/Formatters.h"
#include "units/NumberText.h"

#include <cmath>
#include <limits>

namespace vorelle {

namespace {

bool IsMissingText(std::string_view text)
{
    return text == "--";
}

// Truncates toward zero, clamping what a 32-bit field cannot hold (typed
// numbers are unbounded).
std::int32_t TruncateSaturated(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483648.0)
        return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483649.0)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

std::int32_t AddHalfAndTruncate(double tenths)
{
    return TruncateSaturated(tenths + 0.5);
}

// The typed class, rounded, becomes the lowest speed of that class: the same
// table the display classifies with, so a class shown and saved unchanged
// stays that class (11 included). Classes past 12 read as 12, below 0 as 0.
std::int32_t BeaufortLowerBound(double beaufort)
{
    return BeaufortClassStart(TruncateSaturated(beaufort + 0.5));
}

}  // namespace

std::int32_t RoundHalfAwayFromZero(double value)
{
    return TruncateSaturated(value >= 0.0 ? value + 0.5 : value - 0.5);
}

std::int32_t ParseTemperature(std::uint8_t unitCode, std::string_view text)
{
    if (IsMissingText(text))
        return kParsedMissing;
    const double x = ReadLeadingNumber(text);
    const double tenths = unitCode == kTempCelsius ? x * 10.0 : (x - 32.0) / 1.8 * 10.0;
    return RoundHalfAwayFromZero(tenths);
}

std::int32_t ParsePressure(std::uint8_t unitCode, std::string_view text)
{
    if (IsMissingText(text))
        return kParsedMissing;
    const double x = ReadLeadingNumber(text);
    switch (unitCode) {
    case kPressureHpa:
        return AddHalfAndTruncate(x * 10.0);
    case kPressureInHg:
        return AddHalfAndTruncate(x * 10.0 * 33.86388);
    default:
        return AddHalfAndTruncate(x * 10.0 * 1.33322);
    }
}

std::int32_t ParseWind(std::uint8_t unitCode, std::string_view text)
{
    if (IsMissingText(text))
        return kParsedMissing;
    const double x = ReadLeadingNumber(text);
    switch (unitCode) {
    case kWindMetresPerSecond:
        return AddHalfAndTruncate(x * 10.0);
    case kWindKmPerHour:
        return AddHalfAndTruncate(x * 10.0 / 3.6);
    case kWindBeaufort:
        return BeaufortLowerBound(x);
    case kWindMph:
        return AddHalfAndTruncate(x * 10.0 / 2.236936);
    case kWindKnot:
        return AddHalfAndTruncate(x * 10.0 / 1.943844);
    default:
        return AddHalfAndTruncate(x * 10.0 / 3.2808);
    }
}

std::int32_t ParseRain(std::uint8_t unitCode, std::string_view text)
{
    if (IsMissingText(text))
        return kParsedMissing;
    const double x = ReadLeadingNumber(text);
    return AddHalfAndTruncate(unitCode == kRainMillimetres ? x * 10.0 : x * 10.0 * 25.4);
}

std::int32_t ParseInteger(std::string_view text, bool wide)
{
    if (IsMissingText(text))
        return wide ? kParsedMissing : kParsedMissingByte;
    return ReadLeadingInteger(text);
}

void StoreBigEndian32(std::int32_t value, std::span<std::uint8_t, 4> bytes)
{
    const std::uint32_t word = value == kParsedMissing ? 0xFFFFFFFFu : static_cast<std::uint32_t>(value);
    bytes[0] = static_cast<std::uint8_t>(word >> 24);
    bytes[1] = static_cast<std::uint8_t>(word >> 16);
    bytes[2] = static_cast<std::uint8_t>(word >> 8);
    bytes[3] = static_cast<std::uint8_t>(word);
}

}  // namespace vorelle
