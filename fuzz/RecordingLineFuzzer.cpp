// Fuzz entry point for reading a recording's lines: the line and field
// splitter, the value readers and the time reader. The first byte chooses the
// header's column count; the rest is the text. Built with libFuzzer as
// recording_line_fuzzer, and without it, under ReplayMain, as the corpus
// replay that ctest runs.
#include "FuzzCheck.h"
#include "recordings/RecordingLine.h"
#include "store/RecordTime.h"
#include "store/WeatherRecord.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using vorelle::fuzz::Check;
using vorelle::fuzz::Fail;


bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A second, deliberately plain reading of a number field: blanks, a sign,
// digits with a point (at least one digit), an exponent only with digits,
// blanks; nothing else. The value is from_chars's.
std::optional<double> PlainNumber(std::string_view field)
{
    std::size_t at = 0;
    while (at < field.size() && IsBlank(field[at]))
        ++at;
    std::size_t end = field.size();
    while (end > at && IsBlank(field[end - 1]))
        --end;
    std::string_view number = field.substr(at, end - at);
    bool negative = false;
    if (!number.empty() && (number[0] == '+' || number[0] == '-')) {
        negative = number[0] == '-';
        number.remove_prefix(1);
    }
    std::size_t i = 0;
    std::size_t digits = 0;
    for (; i < number.size() && IsDigit(number[i]); ++i)
        ++digits;
    if (i < number.size() && number[i] == '.')
        for (++i; i < number.size() && IsDigit(number[i]); ++i)
            ++digits;
    if (digits == 0)
        return std::nullopt;
    if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < number.size() && (number[j] == '+' || number[j] == '-'))
            ++j;
        const std::size_t exponentDigits = j;
        while (j < number.size() && IsDigit(number[j]))
            ++j;
        if (j == exponentDigits)
            return std::nullopt;
        i = j;
    }
    if (i != number.size())
        return std::nullopt;
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Past double's range: strtod (the fuzzer runs in the "C" locale)
        // tells an overflow, infinity, from an underflow, zero.
        value = std::fabs(std::strtod(std::string(number).c_str(), nullptr));
    }
    return negative ? -value : value;
}

void CheckValues(std::string_view field)
{
    using namespace vorelle;
    const std::optional<double> plain = PlainNumber(field);
    const float asFloat = ReadFloatField(field);
    const std::int32_t asInteger = ReadIntegerField(field);
    const bool fitsFloat = plain && std::fabs(*plain) <= std::numeric_limits<float>::max();
    Check(fitsFloat ? asFloat == static_cast<float>(*plain) : asFloat == kMissingFloat,
          "a float field is its number, or missing");
    const bool fitsInteger = plain && *plain > -2147483649.0 && *plain < 2147483648.0;
    Check(fitsInteger ? asInteger == static_cast<std::int32_t>(*plain) : asInteger == kMissingValue,
          "an integer field is its number truncated, or missing");
}

void CheckTime(std::string_view field)
{
    using namespace vorelle;
    for (const DateOrder order : {DateOrder::DayMonthYear, DateOrder::MonthDayYear}) {
        const std::optional<CivilTime> time = ParseRecordTime(field, order);
        if (!time)
            continue;
        Check(time->year >= 1900 && time->year <= 9999 && time->month >= 1 && time->month <= 12 && time->day >= 1 &&
                  time->day <= 31 && time->hour >= 0 && time->hour <= 23 && time->minute >= 0 &&
                  time->minute <= 59 && time->second >= 0 && time->second <= 59,
              "a time read is a time that exists");
        Check(CivilTimeOf(AutomationDate(*time)) == *time, "automation date round trip");
        Check(ParseRecordTime(FormatRecordTime(*time), order) == time, "written and read again");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vorelle;
    if (size == 0)
        return 0;
    const std::size_t columns = 1 + data[0] % kMaxRecordingColumns;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::vector<std::uint32_t> ends(columns);
    for (std::size_t at = 0; at < text.size();) {
        const TextLine line = LineAt(text, at);
        Check(line.begin == at && line.begin <= line.end && line.end <= line.next && line.next <= text.size() &&
                  line.next > at,
              "a line lies within the text and moves on");
        const std::string_view content = text.substr(line.begin, line.end - line.begin);
        const std::string_view ending = text.substr(line.end, line.next - line.end);
        Check(content.find('\n') == std::string_view::npos, "no line feed inside a line");
        Check(ending == "\n" || ending == "\r\n" || ending == "\r" || ending.empty(), "a line ends as it should");
        at = line.next;

        SplitFields(content, ends);
        // The fields the line has, joined by commas again, are its text up to
        // the comma after its header's last column; the others are empty.
        const std::size_t present = std::min<std::size_t>(columns, std::count(content.begin(), content.end(), ',') + 1);
        std::string joined;
        for (std::size_t i = 0; i < columns; ++i) {
            const std::string_view field = FieldOf(content, ends, i);
            Check(field.find(',') == std::string_view::npos, "no comma inside a field");
            Check(field.data() >= content.data() && field.data() + field.size() <= content.data() + content.size(),
                  "a field lies within its line");
            if (i < present)
                joined += (i ? "," : "") + std::string(field);
            else
                Check(field.empty(), "a field the line does not have is empty");
            CheckValues(field);
        }
        Check(content.substr(0, joined.size()) == joined &&
                  (joined.size() == content.size() || content[joined.size()] == ','),
              "the fields are the line's text up to its header's columns");
        CheckTime(FieldOf(content, ends, 0));
    }
    return 0;
}
