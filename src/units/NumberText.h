#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorelle {

// Number text with a point as the decimal separator whatever the process
// locale: the Qt program switches the C library to the user's locale, which
// would make printf and strtod use a decimal comma.

// Appends `value` as printf's "%.<decimals>f" prints it in the "C" locale
// (exact binary value, ties to even, "-0.0" for small negatives).
void AppendFixed(std::string& text, float value, int decimals);

// Appends `value` as printf's "%d" prints it.
void AppendInteger(std::string& text, std::int32_t value);

// Reads the number at the start of `text`: blanks, an optional sign, digits
// with an optional point and fraction, an optional exponent. What follows is
// ignored. Text that does not start with a number, including "nan", "inf" and
// hexadecimal, reads as 0. Magnitudes beyond double range read as infinity,
// ones too small for it as zero.
double ReadLeadingNumber(std::string_view text);

// Reads text that is one number and nothing else, as ReadLeadingNumber reads
// it, with blanks allowed around it. Anything else gives no value.
std::optional<double> ReadWholeNumber(std::string_view text);

// Reads the integer at the start of `text`: blanks, an optional sign, digits;
// the rest is ignored. No digits read as 0; values beyond 32 bits saturate.
std::int32_t ReadLeadingInteger(std::string_view text);

}  // namespace vorelle
