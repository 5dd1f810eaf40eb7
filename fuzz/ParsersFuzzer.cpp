// Fuzz entry point for the parsers of text typed in the settings dialogs: the
// number readers, the unit parsers, the recording interval and the rainfall
// totals. The input is a unit code, a 32-bit value (most significant byte
// first) and the text; text after a NUL byte is a second text that the first
// is compared with, and the lines of the first are the four rainfall fields.
// Built with libFuzzer as parsers_fuzzer, and without it, under ReplayMain, as
// the corpus replay that ctest runs.
#include "FuzzCheck.h"
#include "FuzzInput.h"

#include "link/Commands.h"
#include "live/LiveDecoder.h"
#include "settings/BasicSettings.h"
#include "settings/RainTotals.h"
#include "units/Formatters.h"
#include "units/NumberText.h"
#include "units/Parsers.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace {

using namespace vorelle;
using fuzz::Check;

using Parser = std::int32_t (*)(std::uint8_t, std::string_view);
constexpr std::array<Parser, 4> kUnitParsers{ParseTemperature, ParsePressure, ParseWind, ParseRain};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The C library's reading of the same text in the "C" locale (this process
// never changes it), where the number readers promise to agree with it:
// strtod for decimal numbers, 0 where strtod would read hexadecimal, an
// infinity or a NaN; strtoll, saturated to 32 bits, for integers.
void CheckAgainstTheCLibrary(std::string_view text)
{
    const std::string terminated(text);
    const char* start = terminated.c_str();
    char* end = nullptr;
    const double strtodValue = std::strtod(start, &end);
    std::size_t at = 0;
    while (at < terminated.size() && IsBlank(terminated[at]))
        ++at;
    if (at < terminated.size() && (terminated[at] == '+' || terminated[at] == '-'))
        ++at;
    const bool decimal = at < terminated.size() && (IsDigit(terminated[at]) || terminated[at] == '.');
    const bool hexadecimal = decimal && terminated[at] == '0' && at + 1 < terminated.size() &&
                             (terminated[at + 1] == 'x' || terminated[at + 1] == 'X') && end > start + at + 1;
    const double read = ReadLeadingNumber(text);
    if (!decimal || hexadecimal)
        Check(read == 0.0, "text that is not a decimal number reads as 0");
    else
        Check(read == strtodValue, "a decimal number reads as strtod reads it");

    const long long wide = std::strtoll(start, nullptr, 10);
    const auto saturated = static_cast<std::int32_t>(std::clamp<long long>(
        wide, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
    Check(ReadLeadingInteger(text) == saturated, "an integer reads as strtoll reads it, saturated");
}

// The fixed printer against printf in the "C" locale.
void CheckPrinter(float value, std::int32_t integer)
{
    if (std::isfinite(value)) {
        for (int decimals = 0; decimals <= 3; ++decimals) {
            std::string text;
            AppendFixed(text, value, decimals);
            std::array<char, 512> printed;
            std::snprintf(printed.data(), printed.size(), "%.*f", decimals, static_cast<double>(value));
            Check(text == printed.data(), "a fixed number prints as printf prints it");
        }
    }
    std::string text;
    AppendInteger(text, integer);
    Check(text == std::to_string(integer), "an integer prints as itself");
}

// What the unit parsers promise for any text in any unit: "--" is the
// marker; otherwise only the leading number counts, a larger number never
// gives a smaller value, and Beaufort gives the start of a class.
void CheckUnitParsers(std::uint8_t unit, std::string_view text, std::string_view other)
{
    const bool marker = text == "--";
    const bool otherMarker = other == "--";
    const double number = ReadLeadingNumber(text);
    const double otherNumber = ReadLeadingNumber(other);
    const std::string followed = std::string(text) + " x";
    for (const Parser parse : kUnitParsers) {
        const std::int32_t value = parse(unit, text);
        if (marker) {
            Check(value == kParsedMissing, "\"--\" parses as the marker");
            continue;
        }
        Check(parse(unit, followed) == value, "only the leading number counts");
        if (!otherMarker && number <= otherNumber)
            Check(value <= parse(unit, other), "a larger number never parses smaller");
    }
    if (!marker && unit == kWindBeaufort) {
        const std::int32_t value = ParseWind(unit, text);
        Check(value == BeaufortClassStart(BeaufortClass(value)), "Beaufort parses as the start of a class");
    }
    Check(ParseInteger(text, true) == (marker ? kParsedMissing : ReadLeadingInteger(text)) &&
              ParseInteger(text, false) == (marker ? kParsedMissingByte : ReadLeadingInteger(text)),
          "an integer field reads the leading integer, \"--\" its marker");
}

// A value shown number-only and typed back unchanged comes back within one
// step of the display, in the range where single precision holds the shown
// digits (far beyond any reading the console holds): exactly where a step is
// under one tenth of the console unit, within one or two tenths otherwise.
// Negative values count only for temperatures, the one signed quantity.
void CheckRoundTrips(std::uint8_t unit, std::int32_t value)
{
    constexpr std::int32_t kHeld = 1 << 21;
    if (value < -kHeld || value > kHeld)
        return;
    if (value != 0x7FFF && value != 0xFFFF)
        Check(ParseTemperature(unit, FormatTemperature(unit, Show::NumberOnly, value)) == value,
              "a shown temperature reads back");
    if (value < 0)
        return;
    const auto within = [value](std::int32_t back, std::int32_t tolerance) {
        return std::abs(back - value) <= tolerance;
    };
    if (value != 0x7FFF && value != 0xFFFF) {
        const std::int32_t pressureTolerance = unit == kPressureHpa ? 0 : unit == kPressureInHg ? 2 : 1;
        Check(within(ParsePressure(unit, FormatPressure(unit, Show::NumberOnly, value)), pressureTolerance),
              "a shown pressure reads back within one step");
        const std::int32_t wind = ParseWind(unit, FormatWind(unit, Show::NumberOnly, value));
        Check(unit == kWindBeaufort ? BeaufortClass(wind) == BeaufortClass(value) : wind == value,
              "a shown wind reads back");
    }
    Check(within(ParseRain(unit, FormatRain(unit, RainFormat::NumberOnly, value)), unit == kRainMillimetres ? 0 : 1),
          "shown rain reads back within one step");
}

// The interval field: refused with its message outside 1 to 240, otherwise
// sent as typed.
void CheckInterval(std::string_view text)
{
    BasicSettingsForm form;
    form.interval = std::string(text);
    const std::int32_t minutes = ReadLeadingInteger(text);
    const bool accepted = minutes >= kMinRecordingInterval && minutes <= kMaxRecordingInterval;
    const std::optional<std::string> refusal = ValidateBasicSettings(form);
    Check(refusal.has_value() != accepted && (!refusal || *refusal == kIntervalMessage),
          "the interval is refused outside 1 to 240, with its message");
    const std::optional<Report> write = BuildWriteSetting(form);
    Check(write.has_value() == accepted && (!write || (*write)[9] == minutes), "an accepted interval is sent as typed");
}

// The rainfall totals: each field's entry, the first refusal in field order,
// and the write, whose items read back through the live-record decoder as
// the totals typed ("--" and a 16-bit 6553.5 mm both as no value).
void CheckRainTotals(std::uint8_t unit, std::string_view text)
{
    std::array<std::string_view, 4> fields{};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::size_t lineEnd = std::min(text.find('\n'), text.size());
        fields[i] = text.substr(0, lineEnd);
        text.remove_prefix(std::min(lineEnd + 1, text.size()));
    }
    std::array<RainEntry, 4> entries;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        entries[i] = RainEntryOf(fields[i], ParseRain(unit, fields[i]));
        Check(entries[i].has_value() != (fields[i] == "--") && (!entries[i] || *entries[i] == ParseRain(unit, fields[i])),
              "a rain field is its parsed total, or nothing for \"--\"");
    }
    const RainTotalsForm form{entries[0], entries[1], entries[2], entries[3]};
    constexpr std::array<std::uint32_t, 4> kLimits{kMaxDayWeekRain, kMaxDayWeekRain, kMaxMonthYearRain, kMaxMonthYearRain};
    constexpr std::array<std::string_view, 4> kMessages{kRainDayMessage, kRainWeekMessage, kRainMonthMessage,
                                                        kRainYearMessage};
    std::optional<std::string_view> expected;
    for (std::size_t i = 0; i < entries.size() && !expected; ++i) {
        if (entries[i] && static_cast<std::uint32_t>(*entries[i]) > kLimits[i])
            expected = kMessages[i];
    }
    const std::optional<std::string> refusal = ValidateRainTotals(form);
    Check(refusal.has_value() == expected.has_value() && (!refusal || *refusal == *expected),
          "the first total out of range is refused with its message");
    const std::optional<Report> write = BuildWriteItems(form);
    Check(write.has_value() == !refusal, "a refused form sends nothing");
    if (!write)
        return;
    const Report& c = *write;
    Check(c[0] == CMD_WRITE_ITEMS.code && c[1] == 18 &&
              std::all_of(c.begin() + 18, c.end(), [](std::uint8_t b) { return b == 0; }),
          "the write carries 18 bytes");
    LiveValues values;
    ResetLiveValues(values);
    DecodeLive(std::span<const std::uint8_t>(c).subspan(2, 16), values);
    const auto sent = [](const RainEntry& entry, bool sixteenBits) {
        return !entry || (sixteenBits && *entry == 0xFFFF) ? -1 : *entry;
    };
    Check(values.RainToday == sent(entries[0], true) && values.RainThisWeek == sent(entries[1], true) &&
              values.RainThisMonth == sent(entries[2], false) && values.RainThisYear == sent(entries[3], false),
          "the write's items carry the totals");
}

void CheckStoreBigEndian32(std::int32_t value)
{
    std::array<std::uint8_t, 4> bytes{};
    StoreBigEndian32(value, bytes);
    const std::uint32_t word = value == kParsedMissing ? 0xFFFFFFFFu : static_cast<std::uint32_t>(value);
    Check(bytes == std::array<std::uint8_t, 4>{static_cast<std::uint8_t>(word >> 24), static_cast<std::uint8_t>(word >> 16),
                                                static_cast<std::uint8_t>(word >> 8), static_cast<std::uint8_t>(word)},
          "a value is stored most significant byte first, the marker widened");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::FuzzInput input(data, size);
    const std::uint8_t unit = input.Byte();
    const std::int32_t value = input.Int32();
    const std::span<const std::uint8_t> rest = input.Rest();
    const std::string_view both(reinterpret_cast<const char*>(rest.data()), rest.size());
    const std::size_t nul = std::min(both.find('\0'), both.size());
    const std::string_view text = both.substr(0, nul);
    const std::string_view other = nul < both.size() ? both.substr(nul + 1) : std::string_view("");

    CheckAgainstTheCLibrary(both);
    CheckPrinter(std::bit_cast<float>(value), value);
    CheckPrinter(static_cast<float>(ReadLeadingNumber(text)), ReadLeadingInteger(text));
    CheckUnitParsers(unit, text, other);
    CheckRoundTrips(unit, value);
    CheckInterval(text);
    CheckRainTotals(unit, text);
    CheckStoreBigEndian32(value);
    return 0;
}
