#include "settings/MobileNetworkSettings.h"

#include "link/BigEndian.h"
#include "link/Commands.h"
#include "link/ConsoleText.h"
#include "settings/PreparedWrites.h"
#include "units/NumberText.h"

#include <algorithm>
#include <array>
#include <span>

namespace vorelle {

namespace {

constexpr std::int32_t kMaxAlarmIntervalMinutes = 120;

// The commands' own length bytes. GPRS1 counts two bytes besides the APN
// although three precede it; the console expects it so.
constexpr std::size_t kGprs1LengthExtra = 2;
constexpr std::size_t kGprs2LengthExtra = 4;
constexpr std::size_t kSmsLengthExtra = 11;
constexpr std::size_t kMsgTestLengthExtra = 2;

// Bytes of CMD_WRITE_SMS.
constexpr std::size_t kSmsAlarmInterval = 2;    // 16-bit seconds
constexpr std::size_t kSmsCurrentInterval = 4;  // 32-bit seconds
constexpr std::size_t kSmsFirstTelephone = 8;

using PreparedMobileNetwork = PreparedWrites<MobileNetworkWrites>;

PreparedMobileNetwork Prepare(const MobileNetworkForm& form)
{
    const std::optional<std::uint32_t> current = IntervalSeconds(form.currentInterval, form.currentUnit);
    if (!current)
        return PreparedMobileNetwork::Refused(std::string(kCurrentIntervalField) + ": " + std::string(IntervalLimits(form.currentUnit)));
    const std::int32_t alarmMinutes = ReadLeadingInteger(form.alarmInterval);
    if (alarmMinutes < 0 || alarmMinutes > kMaxAlarmIntervalMinutes)
        return PreparedMobileNetwork::Refused(kAlarmIntervalMessage);

    const ConsoleText apn = EncodeConsoleText("APN", form.apn);
    if (apn.refusal)
        return PreparedMobileNetwork::Refused(*apn.refusal);
    if (apn.latin1.size() > kMaxApnLength)
        return PreparedMobileNetwork::Refused(kApnTooLongMessage);
    const ConsoleText user = EncodeConsoleText("User", form.user);
    if (user.refusal)
        return PreparedMobileNetwork::Refused(*user.refusal);
    const ConsoleText password = EncodeConsoleText("Password", form.password);
    if (password.refusal)
        return PreparedMobileNetwork::Refused(*password.refusal);
    if (user.latin1.size() + password.latin1.size() > kMaxUserAndPasswordLength)
        return PreparedMobileNetwork::Refused(kUserAndPasswordTooLongMessage);
    const std::array<ConsoleText, 3> telephones = {EncodeConsoleText("Tel1", form.tel1),
                                                   EncodeConsoleText("Tel2", form.tel2),
                                                   EncodeConsoleText("Tel3", form.tel3)};
    std::size_t telephonesLength = 0;
    for (const ConsoleText& telephone : telephones) {
        if (telephone.refusal)
            return PreparedMobileNetwork::Refused(*telephone.refusal);
        telephonesLength += telephone.latin1.size();
    }
    if (telephonesLength > kMaxTelephonesLength)
        return PreparedMobileNetwork::Refused(kTelephonesTooLongMessage);

    PreparedMobileNetwork prepared;
    Report& gprs1 = prepared.writes.gprs1;
    gprs1 = MakeCommand(CMD_WRITE_GPRS1);
    gprs1[1] = static_cast<std::uint8_t>(apn.latin1.size() + kGprs1LengthExtra);
    PutCountedText(gprs1, 2, apn.latin1);

    Report& gprs2 = prepared.writes.gprs2;
    gprs2 = MakeCommand(CMD_WRITE_GPRS2);
    gprs2[1] = static_cast<std::uint8_t>(user.latin1.size() + password.latin1.size() + kGprs2LengthExtra);
    PutCountedText(gprs2, PutCountedText(gprs2, 2, user.latin1), password.latin1);

    Report& sms = prepared.writes.sms;
    sms = MakeCommand(CMD_WRITE_SMS);
    sms[1] = static_cast<std::uint8_t>(telephonesLength + kSmsLengthExtra);
    PutBigEndian(std::span(sms).subspan(kSmsAlarmInterval, 2), static_cast<std::uint32_t>(alarmMinutes) * 60u);
    PutBigEndian(std::span(sms).subspan(kSmsCurrentInterval, 4), *current);
    std::size_t at = kSmsFirstTelephone;
    for (const ConsoleText& telephone : telephones)
        at = PutCountedText(sms, at, telephone.latin1);
    return prepared;
}

// The test text in Latin-1, or why it is refused.
ConsoleText EncodeTestMessage(std::string_view text)
{
    ConsoleText encoded = EncodeConsoleText("MSG Test", text);
    if (!encoded.refusal && encoded.latin1.size() > kMaxTestMessageLength)
        return {{}, std::string(kTestMessageTooLongMessage)};
    return encoded;
}

Report MsgTestCommand(std::string_view latin1)
{
    Report command = MakeCommand(CMD_MSG_TEST);
    command[1] = static_cast<std::uint8_t>(latin1.size() + kMsgTestLengthExtra);
    std::copy(latin1.begin(), latin1.end(), command.begin() + 2);
    return command;
}

constexpr std::string_view kCarriesApn = "the APN";
constexpr std::string_view kCarriesUser = "the user and password";
constexpr std::string_view kCarriesSms = "the telephone numbers and SMS intervals";

}  // namespace

std::optional<std::string> ValidateMobileNetwork(const MobileNetworkForm& form)
{
    return Prepare(form).refusal;
}

std::optional<MobileNetworkWrites> BuildMobileNetworkWrites(const MobileNetworkForm& form)
{
    return Prepare(form).Accepted();
}

SaveOutcome SaveMobileNetwork(ConsoleLink& link, const MobileNetworkForm& form)
{
    const PreparedMobileNetwork prepared = Prepare(form);
    if (prepared.refusal)
        return {SaveStatus::InvalidInput, *prepared.refusal};
    const std::array<SaveStep, 3> steps = {SaveStep{prepared.writes.gprs1, CMD_WRITE_GPRS1, kCarriesApn},
                                           SaveStep{prepared.writes.gprs2, CMD_WRITE_GPRS2, kCarriesUser},
                                           SaveStep{prepared.writes.sms, CMD_WRITE_SMS, kCarriesSms}};
    return SendInTurn(link, steps, kSaveSuccessText, kNotConnectedNothingSavedText);
}

std::optional<std::string> ValidateTestMessage(std::string_view text)
{
    return EncodeTestMessage(text).refusal;
}

std::optional<Report> BuildMsgTest(std::string_view text)
{
    const ConsoleText encoded = EncodeTestMessage(text);
    if (encoded.refusal)
        return std::nullopt;
    return MsgTestCommand(encoded.latin1);
}

SaveOutcome SendTestMessage(ConsoleLink& link, std::string_view text)
{
    const ConsoleText encoded = EncodeTestMessage(text);
    if (encoded.refusal)
        return {SaveStatus::InvalidInput, *encoded.refusal};
    const std::array<SaveStep, 1> steps = {SaveStep{MsgTestCommand(encoded.latin1), CMD_MSG_TEST, "the test message"}};
    return SendInTurn(link, steps, kTestMessageSentText, kTestMessageNotConnectedText);
}

}  // namespace vorelle
