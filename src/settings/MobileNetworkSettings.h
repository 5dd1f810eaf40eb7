#pragma once

#include "link/ConsoleLink.h"
#include "link/HidTransport.h"
#include "settings/IntervalChoice.h"
#include "settings/SettingsSave.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vorelle {

// What the mobile network dialog holds. Texts are as typed (UTF-8);
// intervals as typed, read as whole numbers.
struct MobileNetworkForm {
    std::string apn;
    std::string user;
    std::string password;
    std::string tel1;
    std::string tel2;
    std::string tel3;
    std::string alarmInterval;    // minutes
    std::string currentInterval;  // in `currentUnit`
    IntervalUnit currentUnit = IntervalUnit::Hour;
};

inline constexpr std::string_view kCurrentIntervalField = "Send Current Interval";
inline constexpr std::string_view kAlarmIntervalMessage = "Alarm Interval: 0 - 120 Minute";

// What the 64-byte commands can carry; a longer text is refused, never cut.
inline constexpr std::size_t kMaxApnLength = 61;
inline constexpr std::size_t kMaxUserAndPasswordLength = 60;
inline constexpr std::size_t kMaxTelephonesLength = 53;
inline constexpr std::size_t kMaxTestMessageLength = 62;
inline constexpr std::string_view kApnTooLongMessage = "APN: at most 61 characters.";
inline constexpr std::string_view kUserAndPasswordTooLongMessage = "User and Password: at most 60 characters together.";
inline constexpr std::string_view kTelephonesTooLongMessage = "Tel1, Tel2 and Tel3: at most 53 characters together.";
inline constexpr std::string_view kTestMessageTooLongMessage = "MSG Test: at most 62 characters.";

inline constexpr std::string_view kTestMessageSentText = "Success";
inline constexpr std::string_view kTestMessageNotConnectedText =
    "The console is not connected. The test message was not sent.";

// CMD_WRITE_GPRS1, CMD_WRITE_GPRS2 and CMD_WRITE_SMS, sent in this order.
struct MobileNetworkWrites {
    Report gprs1;  // the APN
    Report gprs2;  // user and password
    Report sms;    // the intervals and the three telephone numbers
};

// The message refusing the form, if any: the intervals first, then each text
// (a character the console cannot take, or more than its command holds).
std::optional<std::string> ValidateMobileNetwork(const MobileNetworkForm& form);

// The three commands; nothing when the form is refused.
std::optional<MobileNetworkWrites> BuildMobileNetworkWrites(const MobileNetworkForm& form);

// Save: validate, refuse without a console, send the three commands in turn.
SaveOutcome SaveMobileNetwork(ConsoleLink& link, const MobileNetworkForm& form);

// The message refusing the test text, if any.
std::optional<std::string> ValidateTestMessage(std::string_view text);

// CMD_MSG_TEST with `text`; nothing when the text is refused.
std::optional<Report> BuildMsgTest(std::string_view text);

// MSG Test: refuse the text or the missing console, else send it.
SaveOutcome SendTestMessage(ConsoleLink& link, std::string_view text);

}  // namespace vorelle
