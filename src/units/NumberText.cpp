#include "units/NumberText.h"

#include <array>
#include <charconv>
#include <limits>
#include <optional>
#include <system_error>

namespace vorelle {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::size_t SkipBlanks(std::string_view text, std::size_t at)
{
    while (at < text.size() && IsBlank(text[at]))
        ++at;
    return at;
}

std::size_t SkipDigits(std::string_view text, std::size_t at)
{
    while (at < text.size() && IsDigit(text[at]))
        ++at;
    return at;
}

// Decimal exponent of the leading significant digit of digits [intBegin,
// intEnd) '.' [fracBegin, fracEnd), plus `exponent`; used only to tell an
// overflow from an underflow, so it saturates far outside double range.
std::int64_t Magnitude(std::string_view text, std::size_t intBegin, std::size_t intEnd, std::size_t fracBegin,
                       std::size_t fracEnd, std::int64_t exponent)
{
    for (std::size_t i = intBegin; i < intEnd; ++i) {
        if (text[i] != '0')
            return static_cast<std::int64_t>(intEnd - i - 1) + exponent;
    }
    for (std::size_t i = fracBegin; i < fracEnd; ++i) {
        if (text[i] != '0')
            return -static_cast<std::int64_t>(i - fracBegin + 1) + exponent;
    }
    return 0;
}

// The short decimals of recordings and dialogs ("21.3", "1013.25") in one
// correctly rounded operation: digits that fit a double exactly, times or
// divided by an exact power of ten, give the same value from_chars gives,
// several times faster. Returns false for anything longer or larger.
bool ReadShortDecimal(std::string_view text, std::size_t intBegin, std::size_t intEnd, std::size_t fracBegin,
                          std::size_t fracEnd, std::int64_t exponent, double& value)
{
    static constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                              1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    constexpr std::size_t kMaxDigits = 15;  // 10^15 < 2^53
    constexpr std::int64_t kMaxPower = 22;
    if ((intEnd - intBegin) + (fracEnd - fracBegin) > kMaxDigits)
        return false;
    const std::int64_t power = exponent - static_cast<std::int64_t>(fracEnd - fracBegin);
    if (power < -kMaxPower || power > kMaxPower)
        return false;
    std::uint64_t digits = 0;
    for (std::size_t i = intBegin; i < intEnd; ++i)
        digits = digits * 10 + static_cast<std::uint64_t>(text[i] - '0');
    for (std::size_t i = fracBegin; i < fracEnd; ++i)
        digits = digits * 10 + static_cast<std::uint64_t>(text[i] - '0');
    const auto mantissa = static_cast<double>(digits);
    value = power < 0 ? mantissa / kPowersOfTen[-power] : mantissa * kPowersOfTen[power];
    return true;
}

// The number at the start of `text` and where it ends; no number gives a
// value of 0 and an end of 0.
struct LeadingNumber {
    double value = 0.0;
    std::size_t end = 0;
};

LeadingNumber ScanLeadingNumber(std::string_view text)
{
    std::size_t at = SkipBlanks(text, 0);
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    const std::size_t intBegin = at;
    const std::size_t intEnd = SkipDigits(text, intBegin);
    std::size_t fracBegin = intEnd;
    std::size_t fracEnd = intEnd;
    if (intEnd < text.size() && text[intEnd] == '.') {
        fracBegin = intEnd + 1;
        fracEnd = SkipDigits(text, fracBegin);
    }
    if (intEnd == intBegin && fracEnd == fracBegin)
        return {};

    // An exponent counts only when digits follow the 'e' and its sign.
    std::size_t end = fracEnd;
    std::int64_t exponent = 0;
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t digits = end + 1;
        bool negativeExponent = false;
        if (digits < text.size() && (text[digits] == '+' || text[digits] == '-')) {
            negativeExponent = text[digits] == '-';
            ++digits;
        }
        const std::size_t digitsEnd = SkipDigits(text, digits);
        if (digitsEnd > digits) {
            for (std::size_t i = digits; i < digitsEnd; ++i) {
                if (exponent < 1'000'000'000)
                    exponent = exponent * 10 + (text[i] - '0');
            }
            if (negativeExponent)
                exponent = -exponent;
            end = digitsEnd;
        }
    }

    // from_chars takes no '+' and no leading blanks, so it gets the unsigned
    // part and the sign is applied here.
    double value = 0.0;
    if (ReadShortDecimal(text, intBegin, intEnd, fracBegin, fracEnd, exponent, value))
        return {negative ? -value : value, end};
    const auto result = std::from_chars(text.data() + intBegin, text.data() + end, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        value = Magnitude(text, intBegin, intEnd, fracBegin, fracEnd, exponent) > 0
                    ? std::numeric_limits<double>::infinity()
                    : 0.0;
    } else if (result.ec != std::errc()) {
        value = 0.0;
    }
    return {negative ? -value : value, end};
}

}  // namespace

void AppendFixed(std::string& text, float value, int decimals)
{
    // The widest float in fixed notation is 39 digits; the room left covers
    // the sign, the point and any precision this program uses.
    std::array<char, 128> buffer;
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    if (result.ec != std::errc())
        return;
    text.append(buffer.data(), result.ptr);
}

void AppendInteger(std::string& text, std::int32_t value)
{
    std::array<char, 16> buffer;
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    text.append(buffer.data(), result.ptr);
}

double ReadLeadingNumber(std::string_view text)
{
    return ScanLeadingNumber(text).value;
}

std::optional<double> ReadWholeNumber(std::string_view text)
{
    const LeadingNumber number = ScanLeadingNumber(text);
    if (number.end == 0 || SkipBlanks(text, number.end) != text.size())
        return std::nullopt;
    return number.value;
}

std::int32_t ReadLeadingInteger(std::string_view text)
{
    std::size_t at = SkipBlanks(text, 0);
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    // Accumulate the magnitude and stop growing once it is past every 32-bit
    // value, so long digit strings cannot overflow.
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; at < text.size() && IsDigit(text[at]); ++at) {
        if (magnitude <= kLimit)
            magnitude = magnitude * 10 + (text[at] - '0');
    }
    if (negative)
        return magnitude >= kLimit ? std::numeric_limits<std::int32_t>::min() : static_cast<std::int32_t>(-magnitude);
    return magnitude >= kLimit ? std::numeric_limits<std::int32_t>::max() : static_cast<std::int32_t>(magnitude);
}

}  // namespace vorelle
