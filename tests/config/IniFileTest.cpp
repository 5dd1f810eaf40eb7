#include "config/IniFile.h"
#include "support/NamedCase.h"

#include <gtest/gtest.h>

namespace vorelle {
namespace {

struct IniCase : test::NamedCase {
    const char* before;
    const char* key;
    const char* value;
    const char* after;
};

class IniFileTest : public ::testing::TestWithParam<IniCase> {};

// Only the key's line changes or comes in; every other line and line end stays.
TEST_P(IniFileTest, SetChangesOneLineAndReadsBack)
{
    const IniCase c = GetParam();
    IniFile ini(c.before);
    ASSERT_TRUE(ini.Set("MQTT", c.key, c.value));
    EXPECT_EQ(ini.Text(), c.after);
    EXPECT_EQ(IniFile(ini.Text()).Value("mqtt", c.key), c.value);
    EXPECT_FALSE(ini.Set("MQTT", c.key, "two\nlines"));
    EXPECT_EQ(ini.Text(), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, IniFileTest,
    ::testing::Values(
        IniCase{"ChangesTheFirstMatchKeepingCrLf",
                "[Vorelle2]\r\nVersion=1\r\n[mqtt]\r\n; the broker\r\nHost = old\r\nhost=second\r\n", "host", "new",
                "[Vorelle2]\r\nVersion=1\r\n[mqtt]\r\n; the broker\r\nHost = new\r\nhost=second\r\n"},
        IniCase{"AddsAtTheEndOfItsSection", "\xEF\xBB\xBF[MQTT]\nhost=a\n\n[Other]\nport=1\n", "port", "1883",
                "\xEF\xBB\xBF[MQTT]\nhost=a\nport=1883\n\n[Other]\nport=1\n"},
        IniCase{"AddsTheSectionAfterALastLineWithoutEnd", "; notes\n[Vorelle2]\nVersion=1.1.2", "enabled", "true",
                "; notes\n[Vorelle2]\nVersion=1.1.2\n\n[MQTT]\nenabled=true\n"},
        IniCase{"QuotesSpacesAndSigns", "", "password", " a;b=\"c\" ", "[MQTT]\npassword=\" a;b=\"c\" \"\n"},
        IniCase{"QuotesQuotes", "[MQTT]\nuser=\"x\"\n", "user", "\"quoted\"", "[MQTT]\nuser=\"\"quoted\"\"\n"}),
    test::CaseName{});

}  // namespace
}  // namespace vorelle
