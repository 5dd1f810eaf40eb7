#include "recordings/RecordingLine.h"

#include "store/WeatherRecord.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace vorelle {
namespace {

struct SplitCase {
    const char* line;
    std::size_t columns;
    std::vector<std::string> fields;
};

TEST(RecordingLineTest, SplitsAtCommasIntoTheHeadersColumns)
{
    const SplitCase cases[] = {
        {"2024-01-01 00:00,21.3,45", 3, {"2024-01-01 00:00", "21.3", "45"}},
        {"a,b", 4, {"a", "b", "", ""}},
        {"a,b,", 3, {"a", "b", ""}},
        {"a,b,c,d", 3, {"a", "b", "c"}},
        {",,", 3, {"", "", ""}},
        {"", 2, {"", ""}},
        {"a", 1, {"a"}},
        {" a , b ", 2, {" a ", " b "}},
        {"\"a,b\",c", 2, {"\"a", "b\""}},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.line);
        std::vector<std::uint32_t> ends(c.columns);
        SplitFields(c.line, ends);
        std::vector<std::string> fields;
        for (std::size_t i = 0; i < c.columns; ++i)
            fields.emplace_back(FieldOf(c.line, ends, i));
        EXPECT_EQ(fields, c.fields);
        EXPECT_EQ(FieldOf(c.line, ends, c.columns), "") << "a column past the header's";
    }
}

TEST(RecordingLineTest, LinesEndAtLineFeedsWithoutTheirCarriageReturn)
{
    const std::string text = "head\r\nfirst\r\n\r\nmid\rdle\nlast\r";
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size(); at = LineAt(text, at).next) {
        const TextLine line = LineAt(text, at);
        lines.push_back(text.substr(line.begin, line.end - line.begin));
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"head", "first", "", "mid\rdle", "last"}));
}

struct ValueCase {
    const char* field;
    float asFloat;
    std::int32_t asInteger;
};

TEST(RecordingLineTest, AFieldThatIsNotOneNumberThatFitsIsMissing)
{
    const ValueCase cases[] = {
        {"21.3", 21.3f, 21},
        {" -4.75 ", -4.75f, -4},
        {"+12", 12.0f, 12},
        {"0", 0.0f, 0},
        {"45.9", 45.9f, 45},
        {"1e3", 1000.0f, 1000},
        {".5", 0.5f, 0},
        {"2147483647", 2147483647.0f, 2147483647},
        {"-2147483648", -2147483648.0f, std::numeric_limits<std::int32_t>::min()},
        {"3e38", 3e38f, kMissingValue},
        {"2147483648", 2147483648.0f, kMissingValue},
        {"1e39", kMissingFloat, kMissingValue},
        {"-1e39", kMissingFloat, kMissingValue},
        {"1e999", kMissingFloat, kMissingValue},
        {"--", kMissingFloat, kMissingValue},
        {"--.-", kMissingFloat, kMissingValue},
        {"-", kMissingFloat, kMissingValue},
        {"", kMissingFloat, kMissingValue},
        {"   ", kMissingFloat, kMissingValue},
        {"12abc", kMissingFloat, kMissingValue},
        {"12,5", kMissingFloat, kMissingValue},
        {"1.2.3", kMissingFloat, kMissingValue},
        {"nan", kMissingFloat, kMissingValue},
        {"inf", kMissingFloat, kMissingValue},
        {"0x10", kMissingFloat, kMissingValue},
    };
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(c.field);
        EXPECT_EQ(ReadFloatField(c.field), c.asFloat);
        EXPECT_EQ(ReadIntegerField(c.field), c.asInteger);
    }
}

}  // namespace
}  // namespace vorelle
