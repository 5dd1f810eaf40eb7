#include "live/LiveDecoder.h"
#include "settings/AlarmSettings.h"
#include "settings/BasicSettings.h"
#include "settings/CalibrationSettings.h"
#include "settings/MaxMinRecords.h"
#include "settings/RainTotals.h"
#include "settings/SettingsLinkFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace vorelle {
namespace {

using test::SettingsLinkFixture;

enum class Situation {
    SubScreen,     // the console answers the check with 1
    NoAnswer,      // the console stays silent
    StaleAnswer,   // silent, after an earlier check had left the flag at 0
    LateAnswer,    // the console answers the check after 1 s
    Unplugged,     // the console was removed while the dialog was open
    GoneInCheck,   // the console is pulled while the save waits for the check's answer
};

struct FlowCase {
    const char* name;
    SaveOutcome (*save)(ConsoleLink&, ScreenFlag&);
    Situation situation;
    SaveStatus status;
    const char* message;
    std::vector<std::uint8_t> sent;  // command codes the console received
};

void PrintTo(const FlowCase& c, std::ostream* os) { *os << c.name; }

SaveOutcome SaveBasic(ConsoleLink& link, ScreenFlag& flag)
{
    BasicSettingsForm form;
    form.interval = "5";
    return SaveBasicSettings(link, flag, form);
}

SaveOutcome SaveRain(ConsoleLink& link, ScreenFlag& flag) { return SaveRainTotals(link, flag, {0, 0, 0, 0}); }

SaveOutcome ClearAll(ConsoleLink& link, ScreenFlag& flag)
{
    return ClearMaxMin(link, flag, MaxMinClearBoxes::All());
}

SaveOutcome SaveAlarms(ConsoleLink& link, ScreenFlag& flag)
{
    AlarmThresholds thresholds;
    for (AlarmRow row : {AlarmRow::IndoorHumidityHigh, AlarmRow::IndoorHumidityLow, AlarmRow::OutdoorHumidityHigh,
                         AlarmRow::OutdoorHumidityLow})
        thresholds[row].value = 50;
    for (AlarmRow row : {AlarmRow::AbsPressureHigh, AlarmRow::AbsPressureLow, AlarmRow::RelPressureHigh,
                         AlarmRow::RelPressureLow})
        thresholds[row].value = 10000;
    return SaveAlarm(link, flag, ShowAlarm(thresholds, {}), thresholds, {});
}

SaveOutcome SaveCalibrationOffsets(ConsoleLink& link, ScreenFlag& flag)
{
    CalibrationOffsets offsets;
    offsets[CalibrationRow::IndoorHumidity] = 50;
    offsets[CalibrationRow::OutdoorHumidity] = 50;
    LiveValues noReadings;
    ResetLiveValues(noReadings);
    return SaveCalibration(link, flag, ShowCalibration(offsets, {}), offsets, {}, noReadings);
}

class SaveFlowTest : public SettingsLinkFixture, public ::testing::WithParamInterface<FlowCase> {};

TEST_P(SaveFlowTest, NothingIsWrittenUnlessTheConsoleConfirmsItsMainScreen)
{
    const FlowCase& c = GetParam();
    switch (c.situation) {
    case Situation::SubScreen:
        console.SetMainScreen(false);
        break;
    case Situation::NoAnswer:
        console.Faults().noReply = true;
        break;
    case Situation::StaleAnswer:
        flag = 0;
        console.Faults().noReply = true;
        break;
    case Situation::LateAnswer:
        // Between the short screen check (500 ms) and the basic settings' (5 s), with room either side.
        console.Faults().lateReplyMs = 2500;
        break;
    case Situation::Unplugged:
        transport.Unplug();
        link.OnDeviceChange(DeviceEvent::Removal);
        ASSERT_FALSE(link.Connected());
        break;
    case Situation::GoneInCheck:
        break;
    }

    std::jthread puller;
    if (c.situation == Situation::GoneInCheck) {
        console.Faults().noReply = true;
        puller = std::jthread([this] {
            while (console.ReceivedCommands(CMD_READ_SCREEN.code).empty())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            transport.Unplug();
            link.OnDeviceChange(DeviceEvent::Removal);
        });
    }

    const SaveOutcome outcome = c.save(link, flag);
    EXPECT_EQ(outcome.status, c.status);
    EXPECT_EQ(outcome.message, c.message);
    EXPECT_EQ(outcome.ClosesDialog(), c.status == SaveStatus::Done);
    EXPECT_EQ(ReceivedCodes(), c.sent);
    EXPECT_TRUE(link.Link().ReplyEvent.IsSet()) << "the link is released";

    // The late answers are still on their way; they go with the cable rather
    // than reach a link that is being taken down.
    if (c.situation == Situation::LateAnswer)
        transport.Unplug();
}

constexpr const char* kSwitch = "Please switch the device to the main screen.";
constexpr const char* kNotSaved = "The console is not connected. Nothing was saved.";
constexpr const char* kNotCleared = "The console is not connected. Nothing was cleared.";

INSTANTIATE_TEST_SUITE_P(
    Flows, SaveFlowTest,
    ::testing::Values(
        FlowCase{"BasicSubScreen", SaveBasic, Situation::SubScreen, SaveStatus::NotMainScreen, kSwitch, {0x20}},
        FlowCase{"BasicNoAnswer", SaveBasic, Situation::NoAnswer, SaveStatus::NotMainScreen, kSwitch, {0x20}},
        FlowCase{"BasicStaleAnswer", SaveBasic, Situation::StaleAnswer, SaveStatus::NotMainScreen, kSwitch, {0x20}},
        // The basic settings wait 5 s for the check, the others 0.5 s.
        FlowCase{"BasicLateAnswer", SaveBasic, Situation::LateAnswer, SaveStatus::Done, "Save Success", {0x20, 0x03}},
        FlowCase{"BasicUnplugged", SaveBasic, Situation::Unplugged, SaveStatus::NotConnected, kNotSaved, {}},
        FlowCase{"BasicGoneInCheck", SaveBasic, Situation::GoneInCheck, SaveStatus::NotConnected, kNotSaved, {0x20}},
        FlowCase{"RainSubScreen", SaveRain, Situation::SubScreen, SaveStatus::NotMainScreen, kSwitch, {0x20}},
        FlowCase{"RainNoAnswer", SaveRain, Situation::NoAnswer, SaveStatus::NotMainScreen, kSwitch, {0x20}},
        FlowCase{"RainStaleAnswer", SaveRain, Situation::StaleAnswer, SaveStatus::NotMainScreen, kSwitch, {0x20}},
        FlowCase{"RainLateAnswer", SaveRain, Situation::LateAnswer, SaveStatus::NotMainScreen, kSwitch, {0x20}},
        FlowCase{"RainUnplugged", SaveRain, Situation::Unplugged, SaveStatus::NotConnected, kNotSaved, {}},
        FlowCase{"RainGoneInCheck", SaveRain, Situation::GoneInCheck, SaveStatus::NotConnected, kNotSaved, {0x20}},
        FlowCase{"MaxMinSubScreen", ClearAll, Situation::SubScreen, SaveStatus::NotMainScreen, kSwitch, {0x20}},
        FlowCase{"MaxMinNoAnswer", ClearAll, Situation::NoAnswer, SaveStatus::NotMainScreen, kSwitch, {0x20}},
        FlowCase{"MaxMinStaleAnswer", ClearAll, Situation::StaleAnswer, SaveStatus::NotMainScreen, kSwitch, {0x20}},
        FlowCase{"MaxMinLateAnswer", ClearAll, Situation::LateAnswer, SaveStatus::NotMainScreen, kSwitch, {0x20}},
        FlowCase{"MaxMinUnplugged", ClearAll, Situation::Unplugged, SaveStatus::NotConnected, kNotCleared, {}},
        FlowCase{"AlarmSubScreen", SaveAlarms, Situation::SubScreen, SaveStatus::NotMainScreen, kSwitch, {0x20}},
        FlowCase{"AlarmNoAnswer", SaveAlarms, Situation::NoAnswer, SaveStatus::NotMainScreen, kSwitch, {0x20}},
        FlowCase{"AlarmUnplugged", SaveAlarms, Situation::Unplugged, SaveStatus::NotConnected, kNotSaved, {}},
        FlowCase{"AlarmGoneInCheck", SaveAlarms, Situation::GoneInCheck, SaveStatus::NotConnected, kNotSaved, {0x20}},
        FlowCase{"CalibrationSubScreen", SaveCalibrationOffsets, Situation::SubScreen, SaveStatus::NotMainScreen,
                 kSwitch, {0x20}},
        FlowCase{"CalibrationStaleAnswer", SaveCalibrationOffsets, Situation::StaleAnswer, SaveStatus::NotMainScreen,
                 kSwitch, {0x20}},
        FlowCase{"CalibrationUnplugged", SaveCalibrationOffsets, Situation::Unplugged, SaveStatus::NotConnected,
                 kNotSaved, {}},
        FlowCase{"CalibrationGoneInCheck", SaveCalibrationOffsets, Situation::GoneInCheck, SaveStatus::NotConnected,
                 kNotSaved, {0x20}}),
    [](const auto& info) { return std::string(info.param.name); });

class SaveAgainTest : public SettingsLinkFixture {};

TEST_F(SaveAgainTest, AfterASubScreenRefusalTheNextSaveGoesThrough)
{
    console.SetMainScreen(false);
    EXPECT_EQ(SaveRain(link, flag).status, SaveStatus::NotMainScreen);
    console.SetMainScreen(true);
    EXPECT_EQ(SaveRain(link, flag).status, SaveStatus::Done);
    EXPECT_EQ(ReceivedCodes(), (std::vector<std::uint8_t>{0x20, 0x20, 0x0D}));
}

}  // namespace
}  // namespace vorelle
