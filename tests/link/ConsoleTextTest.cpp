#include "link/ConsoleText.h"
#include "support/NamedCase.h"

#include <gtest/gtest.h>

#include <string>

namespace vorelle {
namespace {

struct TextCase : test::NamedCase {
    std::string utf8;
    std::string latin1;   // when accepted
    std::string refusal;  // empty: accepted
};

const std::string kNotLatin1 = " cannot be sent to the console. Use Western European letters, digits and signs only.";
const std::string kControl = "APN: line breaks, tabs and other control characters cannot be sent to the console.";

class ConsoleTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(ConsoleTextTest, LatinOneOrARefusalNamingTheField)
{
    const TextCase& c = GetParam();
    const ConsoleText text = EncodeConsoleText("APN", c.utf8);
    EXPECT_EQ(text.refusal.value_or(""), c.refusal);
    EXPECT_EQ(text.latin1, c.latin1);
}

INSTANTIATE_TEST_SUITE_P(
    Characters, ConsoleTextTest,
    ::testing::Values(
        TextCase{"Empty", "", "", ""},
        TextCase{"Ascii", "internet.example-1", "internet.example-1", ""},
        TextCase{"SpaceAndTilde", " ~", " ~", ""},
        TextCase{"LatinOneLetters", "Gr\xC3\xBC\xC3\x9F" "e \xC3\xA9t\xC3\xA9", "Gr\xFC\xDF" "e \xE9t\xE9", ""},
        TextCase{"NoBreakSpaceAndYDiaeresis", "\xC2\xA0\xC3\xBF", "\xA0\xFF", ""},
        TextCase{"Euro", "5\xE2\x82\xAC", "", "APN: the character \"\xE2\x82\xAC\"" + kNotLatin1},
        TextCase{"Cjk", "\xE4\xB8\xAD", "", "APN: the character \"\xE4\xB8\xAD\"" + kNotLatin1},
        TextCase{"Emoji", "a\xF0\x9F\x98\x80", "", "APN: the character \"\xF0\x9F\x98\x80\"" + kNotLatin1},
        TextCase{"CarriageReturn", "host\r\nX: 1", "", kControl},
        TextCase{"Tab", "a\tb", "", kControl},
        TextCase{"Nul", std::string("a\0b", 3), "", kControl},
        TextCase{"Delete", "a\x7F", "", kControl},
        TextCase{"NextLineC1", "a\xC2\x85", "", kControl},
        TextCase{"LoneContinuationByte", "a\x80", "", "APN: the character \"\xEF\xBF\xBD\"" + kNotLatin1},
        TextCase{"RawLatinOneByte", "\xE9", "", "APN: the character \"\xEF\xBF\xBD\"" + kNotLatin1},
        TextCase{"OverlongSlash", "\xC0\xAF", "", "APN: the character \"\xEF\xBF\xBD\"" + kNotLatin1},
        TextCase{"Surrogate", "\xED\xA0\x80", "", "APN: the character \"\xEF\xBF\xBD\"" + kNotLatin1},
        TextCase{"CutShort", "ab\xC3", "", "APN: the character \"\xEF\xBF\xBD\"" + kNotLatin1}),
    test::CaseName{});

TEST(CountedTextTest, LengthThenCharactersAndNothingPastTheCommand)
{
    Report command{};
    EXPECT_EQ(PutCountedText(command, 2, "abc"), 6u);
    EXPECT_EQ((std::vector<int>{command[2], command[3], command[4], command[5]}), (std::vector<int>{3, 'a', 'b', 'c'}));

    Report full{};
    EXPECT_EQ(PutCountedText(full, 2, std::string(61, 'x')), 64u) << "61 characters fill the command";
    EXPECT_EQ(full[2], 61);
    EXPECT_EQ(full[63], 'x');

    Report untouched{};
    EXPECT_EQ(PutCountedText(untouched, 2, std::string(62, 'x')), kReportSize);
    EXPECT_EQ(untouched, Report{}) << "a text that does not fit is not written at all";
}

}  // namespace
}  // namespace vorelle
