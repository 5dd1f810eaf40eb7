#include "settings/AlarmSettings.h"
#include "settings/SettingsByKey.h"
#include "settings/SettingsLinkFixture.h"

#include <gtest/gtest.h>

#include <map>

namespace vorelle {
namespace {

using Texts = std::map<std::string, std::string>;

Texts TextsOf(const std::vector<ShownSetting>& shown)
{
    Texts texts;
    for (const ShownSetting& setting : shown)
        texts[setting.key] = setting.text;
    return texts;
}

struct ChangeCase {
    const char* name;
    StationBlock block;
    SettingsChange change;
    bool mainScreen;
    SaveStatus status;
    std::string message;
    std::uint8_t write;                                      // the write's command code
    std::vector<std::pair<std::size_t, std::uint8_t>> bytes;  // of the write, where it went out
};

void PrintTo(const ChangeCase& c, std::ostream* os) { *os << c.name; }

class SettingsByKeyTest : public test::SettingsLinkFixture, public ::testing::WithParamInterface<ChangeCase> {};

// A change saved as the dialog saves it: the console receives the typed
// values and keeps every other setting, which a following show gives back.
TEST_P(SettingsByKeyTest, SavesAsTheDialogAndAFollowingShowGivesWhatTheConsoleTook)
{
    const ChangeCase& c = GetParam();
    console.SetMainScreen(c.mainScreen);
    const std::optional<StationBlockRead> before = ReadStationBlock(link, c.block);
    ASSERT_TRUE(before);
    ASSERT_FALSE(CheckSettingsChange(c.block, c.change));
    const SaveOutcome outcome = SaveSettingsChange(link, *before, c.change);
    EXPECT_EQ(outcome.status, c.status);
    EXPECT_EQ(outcome.message, c.message);
    const std::vector<Report> writes = console.ReceivedCommands(c.write);
    ASSERT_EQ(writes.size(), c.bytes.empty() ? 0u : 1u);
    for (const auto& [at, byte] : c.bytes)
        EXPECT_EQ(writes.front()[at], byte) << "byte " << at;

    Texts expected = TextsOf(ShowStationBlock(*before));
    for (const auto& [key, value] : c.change)
        if (c.status == SaveStatus::Done)
            expected[key] = value;
    const std::optional<StationBlockRead> after = ReadStationBlock(link, c.block);
    ASSERT_TRUE(after);
    EXPECT_EQ(TextsOf(ShowStationBlock(*after)), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, SettingsByKeyTest,
    ::testing::Values(
        ChangeCase{"BasicUnitAndInterval", StationBlock::Basic,
                   {{"temperature-unit", "\u00B0F"}, {"recording-interval", "10"}}, true, SaveStatus::Done,
                   "Save Success", 0x03, {{1, 12}, {2, 1}, {3, 2}, {8, 45}, {9, 10}}},
        ChangeCase{"AlarmThresholdAndSwitch", StationBlock::Alarm,
                   {{"indoor-temp-high", "25.0"}, {"indoor-temp-high-on", "off"}}, true, SaveStatus::Done,
                   "Save Success", 0x07, {{2, 1}, {3, 0x00}, {4, 0xFA}, {5, 0}}},
        ChangeCase{"CalibrationOffset", StationBlock::Calibration, {{"outdoor-humidity", "-5"}}, true,
                   SaveStatus::Done, "Save Success", 0x05, {{10, 7}, {11, 0xFB}}},
        ChangeCase{"RefusedWithTheDialogsMessage", StationBlock::Alarm, {{"indoor-temp-high", "61"}}, true,
                   SaveStatus::InvalidInput, std::string(kAlarmTemperatureMessage), 0x07, {}},
        ChangeCase{"NotOnTheMainScreen", StationBlock::Rain, {{"today", "1.5"}}, false, SaveStatus::NotMainScreen,
                   "Please switch the device to the main screen.", 0x0D, {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorelle
