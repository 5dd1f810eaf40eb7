#include "settings/BasicSettings.h"
#include "support/NamedCase.h"
#include "units/NumberText.h"
#include "settings/SettingsLinkFixture.h"
#include "settings/TimeZones.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace vorelle {
namespace {

using test::Command;
using test::SettingsLinkFixture;

struct ZoneCase {
    int row;
    const char* text;
    bool rule;
};

TEST(TimeZonesTest, RowsKeepTheirTextsAndRules)
{
    const ZoneCase cases[] = {
        {0, "(UTC-12:00)International Date Line West", false},
        {3, "(UTC-10:00)Aleutian Islands", true},
        {13, "(UTC-07:00)Arizona", false},
        {39, "(UTC)Dublin,Edinburgh,Lisbon,London", true},
        {45, "(UTC+01:00)Brussels,Copenhagen,Madrid,Paris", true},
        {105, "(UTC+12:45)Chatham Islands", true},
        {106, "(UTC+13:00)Nuku'alofa", false},
        {107, "(UTC+14:00)Christmas Island", false},
        {108, "", false},
        {-1, "", false},
        {255, "", false},
    };
    for (const ZoneCase& c : cases) {
        SCOPED_TRACE(c.row);
        EXPECT_EQ(TimeZoneName(c.row), c.text);
        EXPECT_EQ(HasDaylightSavingRule(c.row), c.rule);
    }
    int withRule = 0;
    for (int row = 0; row < kTimeZoneCount; ++row) {
        EXPECT_FALSE(TimeZoneName(row).empty());
        withRule += HasDaylightSavingRule(row) ? 1 : 0;
    }
    EXPECT_EQ(withRule, 41);
}

TEST(BasicSettingsListsTest, TextsAreTheConsoleUnits)
{
    EXPECT_EQ(kTemperatureUnitTexts[0], "\xC2\xB0""C") << "UTF-8 degree sign";
    EXPECT_EQ(kTemperatureUnitTexts[1], "\xC2\xB0""F");
    EXPECT_EQ(kSensorTexts[kNoSensorRow], "no sensor");
}

struct DecodeCase : test::NamedCase {
    std::vector<std::uint8_t> block;
    BasicSettingsForm expected;
};

class DecodeBasicSettingsTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeBasicSettingsTest, FillsTheDialogAsTheConsoleSaysIt)
{
    EXPECT_EQ(DecodeBasicSettings(GetParam().block), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, DecodeBasicSettingsTest,
    ::testing::Values(
        DecodeCase{"Typical",
                   {0x02, 13, 1, 2, 3, 1, 2, 1, 45, 1, 5, 0, 1},
                   {.temperatureRow = 1, .lightRow = 2, .windRow = 3, .pressureRow = 2, .rainRow = 1,
                    .timeZoneRow = 45, .daylightSaving = true, .daylightSavingVisible = true, .interval = "5",
                    .sensorRow = 0, .frequencyRow = 1}},
        DecodeCase{"NoSensorIsTheFourthRow",
                   {0x02, 13, 0, 0, 0, 0, 0, 0, 0, 0, 240, 255, 3},
                   {.interval = "240", .sensorRow = kNoSensorRow, .frequencyRow = 3}},
        DecodeCase{"CodesBeyondTheListsSelectNothing",
                   {0x02, 13, 2, 5, 5, 2, 3, 0, 108, 0, 1, 4, 4},
                   {.temperatureRow = -1, .lightRow = -1, .windRow = -1, .pressureRow = -1, .rainRow = -1,
                    .timeZoneRow = -1, .interval = "1", .sensorRow = -1, .frequencyRow = -1}},
        // The console does not offer daylight saving although the zone has a
        // rule: the box stays hidden until the user picks a zone.
        DecodeCase{"ConsoleWithholdsDaylightSaving",
                   {0x02, 13, 0, 2, 0, 0, 0, 1, 39, 0, 5, 0, 0},
                   {.pressureRow = 2, .timeZoneRow = 39, .daylightSaving = true, .interval = "5"}},
        DecodeCase{"ShortBlockReadsZeroPastItsEnd", {0x02, 5, 1}, {.temperatureRow = 1, .interval = "0"}},
        DecodeCase{"EmptyBlock", {}, {.interval = "0"}}),
    test::CaseName{});

TEST(SelectTimeZoneTest, OffersDaylightSavingOnlyWhereTheZoneHasARule)
{
    BasicSettingsForm form = DecodeBasicSettings(std::vector<std::uint8_t>{0x02, 13, 0, 2, 0, 0, 0, 1, 39, 0, 5, 0, 0});
    SelectTimeZone(form, 13);  // Arizona
    EXPECT_FALSE(form.daylightSavingVisible);
    EXPECT_TRUE(form.daylightSaving) << "the hidden box keeps its check";
    SelectTimeZone(form, 39);
    EXPECT_TRUE(form.daylightSavingVisible);
    EXPECT_EQ(form.timeZoneRow, 39);
}

struct IntervalCase {
    const char* text;
    int value;
    bool accepted;
};

TEST(IntervalTest, ReadsTheLeadingNumberAndAcceptsOneTo240)
{
    const IntervalCase cases[] = {
        {"1", 1, true},         {"240", 240, true},  {"0", 0, false},     {"241", 241, false},
        {"", 0, false},         {"abc", 0, false},   {"-1", -1, false},   {" 15 min", 15, true},
        {"+30", 30, true},      {"--", 0, false},    {"99999999999999999999", INT_MAX, false},
    };
    for (const IntervalCase& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ReadLeadingInteger(c.text), c.value);
        BasicSettingsForm form;
        form.interval = c.text;
        const std::optional<std::string> refusal = ValidateBasicSettings(form);
        EXPECT_EQ(!refusal, c.accepted);
        EXPECT_EQ(BuildWriteSetting(form).has_value(), c.accepted);
        if (refusal) {
            EXPECT_EQ(*refusal, "Data Recording Interval: 1 - 240 Minute");
        }
    }
}

// A form as the user leaves it: °F, hPa, km/h, in, w/m2, Brussels with
// daylight saving, 30 minutes, ra5 sensor on 868 MHz.
BasicSettingsForm EditedForm()
{
    return {.temperatureRow = 1, .lightRow = 1, .windRow = 1, .pressureRow = 2, .rainRow = 1,
            .timeZoneRow = 45, .daylightSaving = true, .daylightSavingVisible = true, .interval = "30",
            .sensorRow = 0, .frequencyRow = 1};
}

struct BasicWriteCase : test::NamedCase {
    BasicSettingsForm form;
    Report expected;
};

BasicWriteCase Edited(const char* name, void (*edit)(BasicSettingsForm&), std::initializer_list<std::uint8_t> bytes)
{
    BasicSettingsForm form = EditedForm();
    edit(form);
    return {name, form, Command(0x03, 12, bytes)};
}

class SaveBasicSettingsTest : public SettingsLinkFixture, public ::testing::WithParamInterface<BasicWriteCase> {};

TEST_P(SaveBasicSettingsTest, ConsoleReceivesTheFormByteForByte)
{
    const SaveOutcome outcome = SaveBasicSettings(link, flag, GetParam().form);
    EXPECT_EQ(outcome.status, SaveStatus::Done);
    EXPECT_EQ(outcome.message, "Save Success");
    EXPECT_TRUE(outcome.ClosesDialog());
    EXPECT_EQ(ReceivedCodes(), (std::vector<std::uint8_t>{0x20, 0x03}));
    EXPECT_EQ(OnlyCommand(0x03), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, SaveBasicSettingsTest,
    ::testing::Values(
        //                                 temp pres wind rain light dst zone int sensor freq
        Edited("Edited", [](BasicSettingsForm&) {}, {1, 2, 1, 1, 1, 1, 45, 30, 0, 1}),
        Edited("DaylightSavingOff", [](BasicSettingsForm& f) { f.daylightSaving = false; },
               {1, 2, 1, 1, 1, 0, 45, 30, 0, 1}),
        Edited("IntervalOne", [](BasicSettingsForm& f) { f.interval = "1"; }, {1, 2, 1, 1, 1, 1, 45, 1, 0, 1}),
        Edited("Interval240", [](BasicSettingsForm& f) { f.interval = "240"; }, {1, 2, 1, 1, 1, 1, 45, 240, 0, 1}),
        Edited("NoSensor", [](BasicSettingsForm& f) { f.sensorRow = kNoSensorRow; },
               {1, 2, 1, 1, 1, 1, 45, 30, 255, 1}),
        Edited("EmptyListsGoAs255",
               [](BasicSettingsForm& f) {
                   f.pressureRow = kNoSelection;
                   f.frequencyRow = kNoSelection;
                   f.timeZoneRow = kNoSelection;
               },
               {1, 255, 1, 1, 1, 1, 255, 30, 0, 255}),
        Edited("ArizonaHidesTheCheckedBoxButSendsIt", [](BasicSettingsForm& f) { SelectTimeZone(f, 13); },
               {1, 2, 1, 1, 1, 1, 13, 30, 0, 1})),
    test::CaseName{});

class BasicSettingsConsoleTest : public SettingsLinkFixture {
protected:
    BasicSettingsForm Open()
    {
        EXPECT_EQ(link.Exchange(MakeCommand(CMD_READ_SETTING), CMD_READ_SETTING), ExchangeResult::Answered);
        return DecodeBasicSettings(link.Area().CopySlot(ReplyArea::kSettingSlot));
    }
};

TEST_F(BasicSettingsConsoleTest, RefusedIntervalSendsNothing)
{
    for (const char* text : {"0", "241", ""}) {
        SCOPED_TRACE(text);
        BasicSettingsForm form = EditedForm();
        form.interval = text;
        const SaveOutcome outcome = SaveBasicSettings(link, flag, form);
        EXPECT_EQ(outcome.status, SaveStatus::InvalidInput);
        EXPECT_EQ(outcome.message, "Data Recording Interval: 1 - 240 Minute");
        EXPECT_FALSE(outcome.ClosesDialog());
    }
    EXPECT_TRUE(console.ReceivedCommands().empty());
}

TEST_F(BasicSettingsConsoleTest, ConsoleWithholdingDaylightSavingHidesTheBoxAtOpening)
{
    SimulatedConsole::SettingsBlock block = console.Settings();
    block[8] = 39;  // Dublin, a zone with a rule
    block[9] = 0;
    console.SetSettings(block);
    BasicSettingsForm form = Open();
    EXPECT_EQ(form.timeZoneRow, 39);
    EXPECT_FALSE(form.daylightSavingVisible);
    SelectTimeZone(form, 43);
    EXPECT_TRUE(form.daylightSavingVisible);
}

TEST_F(BasicSettingsConsoleTest, SavedSettingsComeBackAtTheNextOpening)
{
    BasicSettingsForm form = EditedForm();
    SelectTimeZone(form, 13);
    ASSERT_TRUE(SaveBasicSettings(link, flag, form).ClosesDialog());
    const BasicSettingsForm reopened = Open();
    EXPECT_EQ(reopened, form) << "Arizona: the console no longer offers daylight saving";

    SelectTimeZone(form, 98);  // Sydney
    ASSERT_TRUE(SaveBasicSettings(link, flag, form).ClosesDialog());
    EXPECT_TRUE(Open().daylightSavingVisible);
}

}  // namespace
}  // namespace vorelle
