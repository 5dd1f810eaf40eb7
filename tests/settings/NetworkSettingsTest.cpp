#include "settings/MobileNetworkSettings.h"
#include "settings/SettingsLinkFixture.h"
#include "settings/WebUploadSettings.h"

#include "support/IsOneOf.h"
#include "support/NamedCase.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorelle {
namespace {

using test::SettingsLinkFixture;

// A command report from its bytes and texts in order.
struct Part {
    Part(std::initializer_list<std::uint8_t> bytes) : bytes(bytes) {}
    Part(const std::string& text) : bytes(text.begin(), text.end()) {}
    Part(const char* text) : Part(std::string(text)) {}
    std::vector<std::uint8_t> bytes;
};

Report Bytes(std::initializer_list<Part> parts)
{
    Report report{};
    std::size_t at = 0;
    for (const Part& part : parts)
        for (std::uint8_t byte : part.bytes)
            report.at(at++) = byte;
    return report;
}

MobileNetworkForm Mobile(std::string apn, std::string user, std::string password, std::string tel1,
                         std::string tel2, std::string tel3, std::string alarm, std::string current,
                         IntervalUnit unit)
{
    return {std::move(apn),  std::move(user),  std::move(password), std::move(tel1),   std::move(tel2),
            std::move(tel3), std::move(alarm), std::move(current),  unit};
}

struct MobileWriteCase : test::NamedCase {
    MobileNetworkForm form;
    Report gprs1;
    Report gprs2;
    Report sms;
};

class MobileNetworkWriteTest : public SettingsLinkFixture, public ::testing::WithParamInterface<MobileWriteCase> {};

TEST_P(MobileNetworkWriteTest, ConsoleReceivesTheThreeCommandsByteForByte)
{
    const MobileWriteCase& c = GetParam();
    const SaveOutcome outcome = SaveMobileNetwork(link, c.form);
    EXPECT_EQ(outcome.message, "Save Success");
    EXPECT_EQ(ReceivedCodes(), (std::vector<std::uint8_t>{0x12, 0x14, 0xF6})) << "no screen check";
    EXPECT_EQ(OnlyCommand(0x12), c.gprs1);
    EXPECT_EQ(OnlyCommand(0x14), c.gprs2);
    EXPECT_EQ(OnlyCommand(0xF6), c.sms);
}

const std::string k61(61, 'a');
const std::string k30u(30, 'u');
const std::string k30p(30, 'p');
const std::string k18a(18, '1');
const std::string k18b(18, '2');
const std::string k17(17, '3');

INSTANTIATE_TEST_SUITE_P(
    Forms, MobileNetworkWriteTest,
    ::testing::Values(
        // The APN command's length byte counts two besides the APN.
        MobileWriteCase{"EmptyTextsAndZeroIntervals",
                        Mobile("", "", "", "", "", "", "0", "0", IntervalUnit::Minute),
                        Bytes({{0x12, 2, 0}}), Bytes({{0x14, 4, 0, 0}}),
                        Bytes({{0xF6, 11, 0, 0, 0, 0, 0, 0, 0, 0, 0}})},
        MobileWriteCase{"EveryFieldAtItsLimit",
                        Mobile(k61, k30u, k30p, k18a, k18b, k17, "120", "24", IntervalUnit::Hour),
                        Bytes({{0x12, 63, 61}, k61}), Bytes({{0x14, 64, 30}, k30u, {30}, k30p}),
                        Bytes({{0xF6, 64, 0x1C, 0x20, 0x00, 0x01, 0x51, 0x80, 18}, k18a, {18}, k18b, {17}, k17})},
        MobileWriteCase{"LatinOneTextsAndMinutes",
                        Mobile("int\xC3\xA9rnet", "jos\xC3\xA9", "p\xC3\xA4ss", "+33 6 12", "", "0049", "5", "59",
                               IntervalUnit::Minute),
                        Bytes({{0x12, 10, 8}, "int\xE9rnet"}), Bytes({{0x14, 12, 4}, "jos\xE9", {4}, "p\xE4ss"}),
                        Bytes({{0xF6, 23, 0x01, 0x2C, 0x00, 0x00, 0x0D, 0xD4, 8}, "+33 6 12", {0, 4}, "0049"})}),
    test::CaseName{});

struct NetworkRefusalCase : test::NamedCase {
    MobileNetworkForm form;
    std::string message;
};

class ValidateMobileNetworkTest : public ::testing::TestWithParam<NetworkRefusalCase> {};

TEST_P(ValidateMobileNetworkTest, RefusesTheFirstFieldThatCannotBeSent)
{
    const NetworkRefusalCase& c = GetParam();
    EXPECT_EQ(ValidateMobileNetwork(c.form).value_or(""), c.message);
    EXPECT_EQ(BuildMobileNetworkWrites(c.form).has_value(), c.message.empty());
}

const std::string kNotLatin1Refusal = "\" cannot be sent to the console. Use Western European letters, digits and signs only.";

INSTANTIATE_TEST_SUITE_P(
    Fields, ValidateMobileNetworkTest,
    ::testing::Values(
        NetworkRefusalCase{"Hours25", Mobile("", "", "", "", "", "", "0", "25", IntervalUnit::Hour),
                    "Send Current Interval: 0 - 24 Hour"},
        NetworkRefusalCase{"NegativeHours", Mobile("", "", "", "", "", "", "0", "-1", IntervalUnit::Hour),
                    "Send Current Interval: 0 - 24 Hour"},
        NetworkRefusalCase{"Minutes60", Mobile("", "", "", "", "", "", "0", "60", IntervalUnit::Minute),
                    "Send Current Interval: 0 - 59 Minute"},
        NetworkRefusalCase{"CurrentBeforeAlarm", Mobile("", "", "", "", "", "", "121", "60", IntervalUnit::Minute),
                    "Send Current Interval: 0 - 59 Minute"},
        NetworkRefusalCase{"Alarm121", Mobile("", "", "", "", "", "", "121", "0", IntervalUnit::Hour),
                    "Alarm Interval: 0 - 120 Minute"},
        NetworkRefusalCase{"NegativeAlarm", Mobile("", "", "", "", "", "", "-1", "0", IntervalUnit::Hour),
                    "Alarm Interval: 0 - 120 Minute"},
        NetworkRefusalCase{"NotANumberIsZero", Mobile("", "", "", "", "", "", "x", "y", IntervalUnit::Hour), ""},
        NetworkRefusalCase{"Apn62", Mobile(k61 + "a", "", "", "", "", "", "0", "0", IntervalUnit::Hour),
                    "APN: at most 61 characters."},
        NetworkRefusalCase{"UserAndPassword61", Mobile("", k30u + "u", k30p, "", "", "", "0", "0", IntervalUnit::Hour),
                    "User and Password: at most 60 characters together."},
        NetworkRefusalCase{"Telephones54", Mobile("", "", "", k18a, k18b, k17 + "3", "0", "0", IntervalUnit::Hour),
                    "Tel1, Tel2 and Tel3: at most 53 characters together."},
        NetworkRefusalCase{"EuroInApn", Mobile("5\xE2\x82\xAC", "", "", "", "", "", "0", "0", IntervalUnit::Hour),
                    "APN: the character \"\xE2\x82\xAC" + kNotLatin1Refusal},
        NetworkRefusalCase{"LineBreakInPassword", Mobile("", "", "a\nb", "", "", "", "0", "0", IntervalUnit::Hour),
                    "Password: line breaks, tabs and other control characters cannot be sent to the console."},
        NetworkRefusalCase{"CjkInTel3", Mobile("", "", "", "", "", "\xE4\xB8\xAD", "0", "0", IntervalUnit::Hour),
                    "Tel3: the character \"\xE4\xB8\xAD" + kNotLatin1Refusal}),
    test::CaseName{});

class MobileNetworkSaveTest : public SettingsLinkFixture {
protected:
    const MobileNetworkForm form =
        Mobile("web.example", "me", "s3cret", "+4912345", "", "", "10", "2", IntervalUnit::Hour);
};

TEST_F(MobileNetworkSaveTest, TheConsoleKeepsWhatItWasSent)
{
    ASSERT_EQ(SaveMobileNetwork(link, form).status, SaveStatus::Done);
    EXPECT_EQ(console.Network().MobileNetwork(),
              (SimMobileNetwork{"web.example", "me", "s3cret", {"+4912345", "", ""}, 600, 7200}));
}

TEST_F(MobileNetworkSaveTest, RefusedFormSendsNothing)
{
    MobileNetworkForm refused = form;
    refused.apn = k61 + "a";
    const SaveOutcome outcome = SaveMobileNetwork(link, refused);
    EXPECT_EQ(outcome.status, SaveStatus::InvalidInput);
    EXPECT_EQ(outcome.message, "APN: at most 61 characters.");
    EXPECT_TRUE(console.ReceivedCommands().empty());
}

TEST_F(MobileNetworkSaveTest, WithoutAConsoleNothingIsSavedAndSaidSo)
{
    transport.Unplug();
    link.OnDeviceChange(DeviceEvent::Removal);
    const SaveOutcome outcome = SaveMobileNetwork(link, form);
    EXPECT_EQ(outcome.status, SaveStatus::NotConnected);
    EXPECT_EQ(outcome.message, "The console is not connected. Nothing was saved.");
    EXPECT_TRUE(console.ReceivedCommands().empty());
}

TEST_F(MobileNetworkSaveTest, ConsolePulledHalfWaySaysWhatWasNotSaved)
{
    transport.UnplugAfter(0x14);
    const SaveOutcome outcome = SaveMobileNetwork(link, form);
    EXPECT_EQ(outcome.status, SaveStatus::Uncertain);
    // Whether the user and password's answer came before the cable went is
    // down to the threads' timing; the message says so when it did not.
    EXPECT_TRUE(test::IsOneOf(outcome.message, {
                       "The console was disconnected during the save. Not saved: the telephone numbers and SMS "
                       "intervals. Save again once it is connected.",
                       "The console was disconnected during the save. Not saved: the telephone numbers and SMS "
                       "intervals. It may not have received the user and password either. Save again once it is "
                       "connected."}));
    EXPECT_EQ(ReceivedCodes(), (std::vector<std::uint8_t>{0x12, 0x14}));
    EXPECT_FALSE(outcome.ClosesDialog());
}

TEST_F(MobileNetworkSaveTest, ConsolePulledAsItTookACommandMayNotHaveIt)
{
    // The program hears of the removal while it waits after the APN.
    transport.SetPlugListener([this](DeviceEvent event) { link.OnDeviceChange(event); });
    transport.UnplugAfter(0x12);
    const SaveOutcome outcome = SaveMobileNetwork(link, form);
    EXPECT_EQ(outcome.status, SaveStatus::Uncertain);
    EXPECT_EQ(outcome.message,
              "The console was disconnected during the save. Not saved: the user and password; the telephone numbers "
              "and SMS intervals. It may not have received the APN either. Save again once it is connected.");
    EXPECT_EQ(ReceivedCodes(), (std::vector<std::uint8_t>{0x12}));
    transport.SetPlugListener(nullptr);
}

TEST_F(MobileNetworkSaveTest, MsgTestSendsTheTextWithoutALengthByte)
{
    const std::string longest(62, 'm');
    const SaveOutcome outcome = SendTestMessage(link, longest);
    EXPECT_EQ(outcome.status, SaveStatus::Done);
    EXPECT_EQ(outcome.message, "Success");
    EXPECT_EQ(OnlyCommand(0x8A), Bytes({{0x8A, 64}, longest}));
    ASSERT_TRUE(SendTestMessage(link, "Hall\xC3\xB6").ClosesDialog());
    EXPECT_EQ(console.Network().TestMessages(), (std::vector<std::string>{longest, "Hall\xF6"}));

    console.ClearReceived();
    EXPECT_EQ(SendTestMessage(link, longest + "m").message, "MSG Test: at most 62 characters.");
    EXPECT_EQ(SendTestMessage(link, "a\rb").message,
              "MSG Test: line breaks, tabs and other control characters cannot be sent to the console.");
    EXPECT_TRUE(console.ReceivedCommands().empty());

    transport.Unplug();
    link.OnDeviceChange(DeviceEvent::Removal);
    const SaveOutcome unplugged = SendTestMessage(link, "x");
    EXPECT_EQ(unplugged.status, SaveStatus::NotConnected);
    EXPECT_EQ(unplugged.message, "The console is not connected. The test message was not sent.");
}

// ---- Web upload

WebUploadForm Web(std::string server, std::string id, std::string password, int serverType, int uploadType,
                  std::string port, std::string interval, IntervalUnit unit)
{
    WebUploadForm form;
    form.webRow = -1;
    form.server = std::move(server);
    form.id = std::move(id);
    form.password = std::move(password);
    form.serverTypeRow = serverType;
    form.uploadTypeRow = uploadType;
    form.port = std::move(port);
    form.interval = std::move(interval);
    form.intervalUnit = unit;
    return form;
}

TEST(WebUploadFormTest, TheDefaultServerFixesTypeAndPort)
{
    WebUploadForm form = OpeningWebUploadForm(true);
    EXPECT_EQ(form, Web("", "", "", 0, 0, "0", "0", IntervalUnit::Minute)) << "blank, with every control free";

    SelectWebServer(form, 0);
    EXPECT_EQ(form.server, "rtupdate.wunderground.com");
    EXPECT_EQ(form.serverTypeRow, 2) << "php";
    EXPECT_EQ(form.uploadTypeRow, 1) << "Customize";
    EXPECT_EQ(form.port, "80");
    EXPECT_TRUE(form.typeAndPortFixed);

    form.port = "8080";
    SelectWebServer(form, 1);
    EXPECT_EQ(form.server, "New web");
    EXPECT_FALSE(form.typeAndPortFixed);
    EXPECT_EQ(form.port, "8080") << "a free port keeps what was typed";

    WebUploadForm offline = OpeningWebUploadForm(false);
    EXPECT_EQ(offline.server, "rtupdate.wunderground.com");
    EXPECT_TRUE(offline.typeAndPortFixed);
    EXPECT_EQ(offline.intervalUnit, IntervalUnit::Hour);
}

struct WebWriteCase : test::NamedCase {
    WebUploadForm form;
    Report upload1;
    Report upload2;
};

WebUploadForm DefaultServer(std::string id, std::string password, std::string interval, IntervalUnit unit)
{
    WebUploadForm form = Web("", std::move(id), std::move(password), 0, 0, "0", std::move(interval), unit);
    SelectWebServer(form, 0);
    return form;
}

class WebUploadWriteTest : public SettingsLinkFixture, public ::testing::WithParamInterface<WebWriteCase> {};

TEST_P(WebUploadWriteTest, ConsoleReceivesBothCommandsByteForByte)
{
    const WebWriteCase& c = GetParam();
    const SaveOutcome outcome = SaveWebUpload(link, c.form);
    EXPECT_EQ(outcome.message, "Save Success");
    EXPECT_EQ(ReceivedCodes(), (std::vector<std::uint8_t>{0xF2, 0xF4})) << "no screen check";
    EXPECT_EQ(OnlyCommand(0xF2), c.upload1);
    EXPECT_EQ(OnlyCommand(0xF4), c.upload2);
}

const std::string kWunderground = "rtupdate.wunderground.com";
const std::string k26i(26, 'i');

INSTANTIATE_TEST_SUITE_P(
    Forms, WebUploadWriteTest,
    ::testing::Values(
        WebWriteCase{"DefaultServerOneMinute", DefaultServer("KXX1", "pw", "1", IntervalUnit::Minute),
                     Bytes({{0xF2, 28, 25}, kWunderground}),
                     Bytes({{0xF4, 18, 2, 1, 0x00, 0x50, 0x00, 0x00, 0x00, 0x3C, 4}, "KXX1", {2}, "pw"})},
        WebWriteCase{"NewWebUneditedWithNoIdOrPassword",
                     [] {
                         WebUploadForm form = Web("", "", "", 0, 0, "0", "24", IntervalUnit::Hour);
                         SelectWebServer(form, 1);
                         return form;
                     }(),
                     Bytes({{0xF2, 10, 7}, "New web"}),
                     Bytes({{0xF4, 12, 0, 0, 0x00, 0x00, 0x00, 0x01, 0x51, 0x80, 0, 0}})},
        WebWriteCase{"OwnServerAtEveryLimit", Web(k61, k26i, k26i, 1, 0, "65535", "59", IntervalUnit::Minute),
                     Bytes({{0xF2, 64, 61}, k61}),
                     Bytes({{0xF4, 64, 1, 0, 0xFF, 0xFF, 0x00, 0x00, 0x0D, 0xD4, 26}, k26i, {26}, k26i})},
        WebWriteCase{"LatinOneIdAndPortZero", Web("m\xC3\xA9t\xC3\xA9o.example", "St\xC3\xA4" "dt", "", 2, 1, "0",
                                                   "0", IntervalUnit::Hour),
                     Bytes({{0xF2, 16, 13}, "m\xE9t\xE9o.example"}),
                     Bytes({{0xF4, 17, 2, 1, 0, 0, 0, 0, 0, 0, 5}, "St\xE4" "dt", {0}})}),
    test::CaseName{});

struct WebRefusalCase : test::NamedCase {
    WebUploadForm form;
    std::string message;
};

class ValidateWebUploadTest : public ::testing::TestWithParam<WebRefusalCase> {};

TEST_P(ValidateWebUploadTest, RefusesTheFirstFieldThatCannotBeSent)
{
    const WebRefusalCase& c = GetParam();
    EXPECT_EQ(ValidateWebUpload(c.form).value_or(""), c.message);
    EXPECT_EQ(BuildWebUploadWrites(c.form).has_value(), c.message.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ValidateWebUploadTest,
    ::testing::Values(
        WebRefusalCase{"Hours25", Web("a", "", "", 0, 0, "80", "25", IntervalUnit::Hour), "Update Interval: 0 - 24 Hour"},
        WebRefusalCase{"Minutes60", Web("a", "", "", 0, 0, "80", "60", IntervalUnit::Minute),
                       "Update Interval: 0 - 59 Minute"},
        WebRefusalCase{"NegativeMinutes", Web("a", "", "", 0, 0, "80", "-1", IntervalUnit::Minute),
                       "Update Interval: 0 - 59 Minute"},
        WebRefusalCase{"Port65536", Web("a", "", "", 0, 0, "65536", "1", IntervalUnit::Hour), "Port: 0 - 65535"},
        WebRefusalCase{"Port70000WouldWrapTo4464", Web("a", "", "", 0, 0, "70000", "1", IntervalUnit::Hour),
                       "Port: 0 - 65535"},
        WebRefusalCase{"NegativePort", Web("a", "", "", 0, 0, "-1", "1", IntervalUnit::Hour), "Port: 0 - 65535"},
        WebRefusalCase{"Server62", Web(k61 + "x", "", "", 0, 0, "80", "1", IntervalUnit::Hour),
                       "Web: at most 61 characters."},
        WebRefusalCase{"IdAndPassword53", Web("a", k26i, k26i + "x", 0, 0, "80", "1", IntervalUnit::Hour),
                       "ID and Password: at most 52 characters together."},
        WebRefusalCase{"HeaderInServerName", Web("host\r\nX-Evil: 1", "", "", 0, 0, "80", "1", IntervalUnit::Hour),
                       "Web: line breaks, tabs and other control characters cannot be sent to the console."},
        WebRefusalCase{"EuroInId", Web("a", "\xE2\x82\xAC", "", 0, 0, "80", "1", IntervalUnit::Hour),
                       "ID: the character \"\xE2\x82\xAC" + kNotLatin1Refusal}),
    test::CaseName{});

class WebUploadSaveTest : public SettingsLinkFixture {};

TEST_F(WebUploadSaveTest, TheConsoleKeepsWhatItWasSent)
{
    ASSERT_EQ(SaveWebUpload(link, DefaultServer("KXX1", "pw", "10", IntervalUnit::Minute)).status, SaveStatus::Done);
    EXPECT_EQ(console.Network().WebUpload(), (SimWebUpload{kWunderground, "KXX1", "pw", 2, 1, 80, 600}));
}

TEST_F(WebUploadSaveTest, ConsolePulledAfterTheServerSaysTheRestWasNotSaved)
{
    transport.UnplugAfter(0xF2);
    const SaveOutcome outcome = SaveWebUpload(link, DefaultServer("KXX1", "pw", "10", IntervalUnit::Minute));
    EXPECT_EQ(outcome.status, SaveStatus::Uncertain);
    EXPECT_TRUE(test::IsOneOf(outcome.message, {
                       "The console was disconnected during the save. Not saved: the ID, password, server type, "
                       "upload type, port and interval. Save again once it is connected.",
                       "The console was disconnected during the save. Not saved: the ID, password, server type, "
                       "upload type, port and interval. It may not have received the web server either. Save again "
                       "once it is connected."}));
    EXPECT_EQ(ReceivedCodes(), (std::vector<std::uint8_t>{0xF2}));

    link.OnDeviceChange(DeviceEvent::Removal);
    const SaveOutcome again = SaveWebUpload(link, DefaultServer("KXX1", "pw", "10", IntervalUnit::Minute));
    EXPECT_EQ(again.status, SaveStatus::NotConnected);
    EXPECT_EQ(again.message, "The console is not connected. Nothing was saved.");
    EXPECT_EQ(ReceivedCodes(), (std::vector<std::uint8_t>{0xF2}));
}

}  // namespace
}  // namespace vorelle
