#include "publish/MqttPublisher.h"
#include "publish/MqttSettings.h"
#include "support/NamedCase.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace vorelle {
namespace {

namespace fs = std::filesystem;

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
    EXPECT_EQ(ReadMqttSettings(IniFile(test::ReadWhole(file)), problems).port, kMqttPort);
    EXPECT_EQ(problems.size(), 2u) << "the port and tls";
}

TEST(MqttSettingsTest, WrongSettingsStopThePublisherWithTheReason)
{
    const MqttPublisher publisher({true, "", kMqttPort, false, "", "", "", "home/#"}, {});
    EXPECT_EQ(StatusText(publisher.Status()), "Publishing to MQTT is off: the MQTT broker's host is missing");
}

struct UrlCase : test::NamedCase {
    const char* url;
    MqttSettings expected;  // host empty: refused
    const char* error;
};

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
        UrlCase{"HostOnly", "mqtt://broker.lan", {true, "broker.lan", 1883, false, "", "", "", "vorelle2"}, ""},
        UrlCase{"TlsWithEveryPart", "mqtts://ann:p%40ss%3aw@[::1]:8884/home/weather", {true, "::1", 8884, true, "", "ann", "p@ss:w", "home/weather"}, ""},
        UrlCase{"TlsUserWithoutPassword", "mqtts://u@h", {true, "h", 8883, true, "", "u", "", "vorelle2"}, ""},
        UrlCase{"OtherScheme", "http://h", {}, "must begin with mqtt:// or mqtts://"},
        UrlCase{"PortZero", "mqtt://h:0", {}, "from 1 to 65535"},
        UrlCase{"NoHost", "mqtt://u:secret@/p", {}, "has no host"},
        UrlCase{"BadPercentEscape", "mqtt://u:secret%zz@h", {}, "two hex digits"},
        UrlCase{"WildcardInPrefix", "mqtt://h/a/#", {}, "topic prefix"},
        UrlCase{"Ipv6WithoutBrackets", "mqtt://::1:1883", {}, "in brackets"},
        UrlCase{"PasswordWithoutUser", "mqtt://:secret@h", {}, "needs a user"}),
    test::CaseName{});

}  // namespace
}  // namespace vorelle
