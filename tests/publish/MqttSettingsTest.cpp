#include "publish/MqttSettings.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace vorelle {
namespace {

namespace fs = std::filesystem;

struct IniCase {
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
        IniCase{"[Vorelle2]\r\nVersion=1\r\n[mqtt]\r\n; the broker\r\nHost = old\r\nhost=second\r\n", "host", "new",
                "[Vorelle2]\r\nVersion=1\r\n[mqtt]\r\n; the broker\r\nHost = new\r\nhost=second\r\n"},
        IniCase{"\xEF\xBB\xBF[MQTT]\nhost=a\n\n[Other]\nport=1\n", "port", "1883",
                "\xEF\xBB\xBF[MQTT]\nhost=a\nport=1883\n\n[Other]\nport=1\n"},
        IniCase{"; notes\n[Vorelle2]\nVersion=1.1.2", "enabled", "true",
                "; notes\n[Vorelle2]\nVersion=1.1.2\n\n[MQTT]\nenabled=true\n"},
        IniCase{"", "password", " a;b=\"c\" ", "[MQTT]\npassword=\" a;b=\"c\" \"\n"},
        IniCase{"[MQTT]\nuser=\"x\"\n", "user", "\"quoted\"", "[MQTT]\nuser=\"\"quoted\"\"\n"}));

// A password makes the file its owner's alone; without one it is shared as shipped.
TEST(MqttSettingsTest, SavedSettingsReadBackAndThePasswordKeepsTheFilePrivate)
{
    test::TempFolder folder;
    const fs::path file = folder.Write("Main.ini", "[Vorelle2]\nVersion=1.1.2\n");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    MqttSettings settings{true, "broker.lan", 8883, true, "/etc/ca.pem", "ann", "s3cret", "home/weather"};
    std::string error;
    ASSERT_TRUE(SaveMqttSettings(file, settings, error)) << error;
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    std::vector<std::string> problems;
    EXPECT_EQ(ReadMqttSettings(IniFile(test::ReadWhole(file)), problems), settings);
    EXPECT_TRUE(problems.empty());
    EXPECT_TRUE(test::ReadWhole(file).starts_with("[Vorelle2]\nVersion=1.1.2\n\n[MQTT]\nenabled=true\n"));

    settings.password.clear();
    ASSERT_TRUE(SaveMqttSettings(file, settings, error)) << error;
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write |
                                                  fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);

    folder.Write("Main.ini", "[MQTT]\nport=99999\ntls=maybe\n");
    const MqttSettings read = ReadMqttSettings(IniFile(test::ReadWhole(file)), problems);
    EXPECT_EQ(read.port, kMqttPort);
    EXPECT_EQ(problems, (std::vector<std::string>{"[MQTT] tls must be true or false",
                                                  "[MQTT] port must be a number from 1 to 65535"}));
}

struct UrlCase {
    const char* url;
    MqttSettings expected;  // host empty: refused
    const char* error;
};

void PrintTo(const UrlCase& c, std::ostream* os) { *os << c.url; }

class MqttUrlTest : public ::testing::TestWithParam<UrlCase> {};

TEST_P(MqttUrlTest, ReadsTheAddressOrSaysWhyNot)
{
    const UrlCase c = GetParam();
    std::string error;
    const std::optional<MqttSettings> settings = ParseMqttUrl(c.url, error);
    if (c.expected.host.empty()) {
        EXPECT_FALSE(settings);
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
        EXPECT_EQ(error.find("secret"), std::string::npos) << error;
    } else {
        ASSERT_TRUE(settings) << error;
        EXPECT_EQ(*settings, c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, MqttUrlTest,
    ::testing::Values(
        UrlCase{"mqtt://broker.lan", {true, "broker.lan", 1883, false, "", "", "", "vorelle2"}, ""},
        UrlCase{"mqtts://ann:p%40ss%3aw@[::1]:8884/home/weather", {true, "::1", 8884, true, "", "ann", "p@ss:w", "home/weather"}, ""},
        UrlCase{"mqtts://u@h", {true, "h", 8883, true, "", "u", "", "vorelle2"}, ""},
        UrlCase{"http://h", {}, "must begin with mqtt:// or mqtts://"},
        UrlCase{"mqtt://h:0", {}, "from 1 to 65535"},
        UrlCase{"mqtt://h:", {}, "from 1 to 65535"},
        UrlCase{"mqtt://u:secret@/p", {}, "has no host"},
        UrlCase{"mqtt://u:secret%zz@h", {}, "two hex digits"},
        UrlCase{"mqtt://h/a/#", {}, "topic prefix"},
        UrlCase{"mqtt://::1:1883", {}, "in brackets"},
        UrlCase{"mqtt://[::1", {}, "closing bracket"},
        UrlCase{"mqtt://:secret@h", {}, "needs a user"}));

TEST(MqttUrlTest, PasswordIsHiddenInPlace)
{
    char url[] = "mqtts://ann:s3cret@h:8883/x";
    EXPECT_TRUE(HideUrlPassword(url));
    EXPECT_STREQ(url, "mqtts://ann:******@h:8883/x");
    char noPassword[] = "mqtt://h:1883/a@b";
    EXPECT_FALSE(HideUrlPassword(noPassword));
    EXPECT_STREQ(noPassword, "mqtt://h:1883/a@b");
}

}  // namespace
}  // namespace vorelle
