#include "settings/AlarmSettings.h"
#include "settings/SettingsLinkFixture.h"
#include "support/NamedCase.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace vorelle {
namespace {

using test::SettingsLinkFixture;

// An alarm reply: code, length, then `items` as the console sends them, and
// `stale` bytes of an earlier, longer reply left behind it in the slot.
ReplyArea::Slot Block(std::vector<std::uint8_t> items, std::uint8_t stale = 0)
{
    ReplyArea::Slot slot{};
    slot.fill(stale);
    slot[0] = 0x06;
    slot[1] = static_cast<std::uint8_t>(std::min<std::size_t>(items.size() + 2, kReportSize));
    std::copy_n(items.begin(), std::min<std::size_t>(items.size(), kReportSize - 2), slot.begin() + 2);
    return slot;
}

AlarmThresholds Marked(std::int32_t value)
{
    AlarmThresholds thresholds;
    for (AlarmLimit& limit : thresholds.rows)
        limit = {value, true};
    return thresholds;
}

TEST(DecodeAlarmTest, ItemsInAnyOrderOverTheEarlierOpening)
{
    const AlarmThresholds previous = Marked(42);
    const AlarmThresholds decoded = DecodeAlarm(
        Block({9, 0x28, 0xA0, 0, 0x26, 0xAC, 1, 3, 0x7F, 0xFF, 1, 0xFF, 0xFF, 0, 7, 95, 0, 0xFF, 1, 2, 0xFF, 0x9C, 1,
               0x00, 0x00, 0, 16, 0x01, 0x02, 1}),
        previous);
    AlarmThresholds expected = previous;
    expected[AlarmRow::RelPressureHigh] = {10400, false};
    expected[AlarmRow::RelPressureLow] = {9900, true};
    expected[AlarmRow::DewPointHigh] = {0x7FFF, true};
    expected[AlarmRow::DewPointLow] = {0xFFFF, false};  // FF FF is "not set" too, not -0.1 °C
    expected[AlarmRow::OutdoorHumidityHigh] = {95, false};
    expected[AlarmRow::OutdoorHumidityLow] = {255, true};
    expected[AlarmRow::OutdoorTempHigh] = {-100, true};
    expected[AlarmRow::OutdoorTempLow] = {0, false};
    expected[AlarmRow::DailyRain] = {258, true};
    EXPECT_EQ(decoded, expected);
}

TEST(DecodeAlarmTest, DecodingStopsAtAnUnknownIdOrTheEndOfWhatArrived)
{
    const AlarmThresholds previous = Marked(42);
    EXPECT_EQ(DecodeAlarm(Block({5, 0, 0, 0, 1, 0x01, 0x2C, 1, 0, 0, 0}), previous), previous) << "id 5 ends at once";

    // Six items fill 58 bytes; the humidity item after them would end past
    // byte 63, so it is not read from what an earlier reply left in the slot.
    std::vector<std::uint8_t> items;
    for (std::uint8_t id : {1, 2, 3, 4, 8, 9})
        items.insert(items.end(), {id, 0x00, 0x64, 1, 0x00, 0x32, 0});
    for (std::uint8_t id : {11, 12, 14, 16})
        items.insert(items.end(), {id, 0x00, 0x0A, 1});
    items.insert(items.end(), {6, 60, 1, 20, 1});
    const AlarmThresholds decoded = DecodeAlarm(Block(items, 0x33), previous);
    EXPECT_EQ(decoded[AlarmRow::GustSpeed], (AlarmLimit{10, true}));
    EXPECT_EQ(decoded[AlarmRow::IndoorHumidityHigh], previous[AlarmRow::IndoorHumidityHigh]);
    EXPECT_EQ(decoded[AlarmRow::IndoorHumidityLow], previous[AlarmRow::IndoorHumidityLow]);

    // The length byte says what the reply holds: bytes after it are stale.
    ReplyArea::Slot shortReply = Block({1, 0x00, 0x64, 1, 0x00, 0x32, 0, 2, 0x00, 0x64, 1, 0x00, 0x32, 0});
    shortReply[1] = 9;
    const AlarmThresholds firstOnly = DecodeAlarm(shortReply, previous);
    EXPECT_EQ(firstOnly[AlarmRow::IndoorTempHigh], (AlarmLimit{100, true}));
    EXPECT_EQ(firstOnly[AlarmRow::OutdoorTempHigh], previous[AlarmRow::OutdoorTempHigh]);
}

// Thresholds of every kind, one of them unset, to fill a form from.
AlarmThresholds Typical()
{
    AlarmThresholds t;
    for (AlarmRow row : {AlarmRow::IndoorTempHigh, AlarmRow::OutdoorTempHigh, AlarmRow::DewPointHigh,
                         AlarmRow::FeelsLikeHigh})
        t[row] = {300, true};
    for (AlarmRow row : {AlarmRow::IndoorTempLow, AlarmRow::OutdoorTempLow, AlarmRow::DewPointLow,
                         AlarmRow::FeelsLikeLow})
        t[row] = {-100, false};
    for (AlarmRow row : {AlarmRow::IndoorHumidityHigh, AlarmRow::OutdoorHumidityHigh})
        t[row] = {80, true};
    for (AlarmRow row : {AlarmRow::IndoorHumidityLow, AlarmRow::OutdoorHumidityLow})
        t[row] = {20, false};
    for (AlarmRow row : {AlarmRow::AbsPressureHigh, AlarmRow::RelPressureHigh})
        t[row] = {10400, false};
    for (AlarmRow row : {AlarmRow::AbsPressureLow, AlarmRow::RelPressureLow})
        t[row] = {9800, true};
    t[AlarmRow::WindSpeed] = {kAlarmWordNotSet, false};
    t[AlarmRow::GustSpeed] = {200, true};
    return t;
}

constexpr UnitCodes kMetric{0, 2, 0, 0, 0};             // °C, hPa, m/s
constexpr UnitCodes kImperial{1, 0, 3, 1, 1};           // °F, inHg, mph
constexpr UnitCodes kMmHgKmh{0, 1, 1, 0, 0};            // °C, mmHg, km/h
constexpr UnitCodes kBeaufort{1, 2, 2, 0, 0};           // °F, hPa, bft
constexpr UnitCodes kKnotFeet{0, 2, 4, 0, 0};           // knot
constexpr UnitCodes kFeetPerSecond{0, 2, 5, 0, 0};      // ft/s

TEST(ShowAlarmTest, ThresholdsInTheDisplayUnits)
{
    const AlarmThresholds t = Typical();
    const AlarmForm metric = ShowAlarm(t, kMetric);
    EXPECT_EQ(metric[AlarmRow::IndoorTempHigh], (AlarmEntry{"30.0", true}));
    EXPECT_EQ(metric[AlarmRow::IndoorTempLow], (AlarmEntry{"-10.0", false}));
    EXPECT_EQ(metric[AlarmRow::IndoorHumidityHigh], (AlarmEntry{"80", true}));
    EXPECT_EQ(metric[AlarmRow::RelPressureHigh].text, "1040.0");
    EXPECT_EQ(metric[AlarmRow::WindSpeed].text, "--.-");
    EXPECT_EQ(metric[AlarmRow::GustSpeed].text, "20.0");

    const AlarmForm imperial = ShowAlarm(t, kImperial);
    EXPECT_EQ(imperial[AlarmRow::IndoorTempHigh].text, "86.0");
    EXPECT_EQ(imperial[AlarmRow::IndoorTempLow].text, "14.0");
    EXPECT_EQ(imperial[AlarmRow::RelPressureHigh].text, "30.71");
    EXPECT_EQ(imperial[AlarmRow::GustSpeed].text, "44.7");
    EXPECT_EQ(ShowAlarm(t, kMmHgKmh)[AlarmRow::RelPressureLow].text, "735.1");
    EXPECT_EQ(ShowAlarm(t, kMmHgKmh)[AlarmRow::GustSpeed].text, "72.0");
    EXPECT_EQ(ShowAlarm(t, kBeaufort)[AlarmRow::GustSpeed].text, "8");

    AlarmThresholds unset = t;
    unset[AlarmRow::OutdoorHumidityLow].value = kAlarmHumidityNotSet;
    unset[AlarmRow::DewPointHigh].value = 0xFFFF;
    EXPECT_EQ(ShowAlarm(unset, kMetric)[AlarmRow::OutdoorHumidityLow].text, "--");
    EXPECT_EQ(ShowAlarm(unset, kImperial)[AlarmRow::DewPointHigh].text, "--.-");
}

struct RefusalCase : test::NamedCase {
    UnitCodes units;
    AlarmRow row;
    const char* text;
    const char* message;  // empty: accepted
    std::int32_t stored;  // the value taken when accepted
};

const char* const kTemperature = "Alarm Temperature:-40.0\u00B0C / -40\u00B0F to 60.0\u00B0C / 140\u00B0F";
const char* const kHumidity = "Alarm Humidity:1 to 99";
const char* const kBarometer = "Alarm Barometer:300hPa / 225mmHg / 8.86inHg to 1100hPa / 825.1mmHg / 32.48inHg";
const char* const kNotSetCelsius =
    "Alarm Temperature:-0.1\u00B0C would be stored as -0.1\u00B0C, the console's mark for \"not set\"; choose another "
    "value";
const char* const kNotSetFahrenheit =
    "Alarm Temperature:31.9\u00B0F would be stored as -0.1\u00B0C, the console's mark for \"not set\"; choose another "
    "value";
const char* const kFeelsLike = "Alarm Feels Like:-3276.8\u00B0C / -5866.2\u00B0F to 3276.6\u00B0C / 5929.9\u00B0F";

class ReadAlarmFormTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(ReadAlarmFormTest, EachThresholdWithinItsRangeAndItsField)
{
    const RefusalCase& c = GetParam();
    AlarmForm form = ShowAlarm(Typical(), c.units);
    form[c.row].text = c.text;
    const AlarmInput input = ReadAlarmForm(form, Typical(), c.units);
    EXPECT_EQ(input.refusal.value_or(""), c.message);
    if (!input.refusal) {
        EXPECT_EQ(input.thresholds[c.row].value, c.stored);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Limits, ReadAlarmFormTest,
    ::testing::Values(
        RefusalCase{"IndoorAt60C", kMetric, AlarmRow::IndoorTempHigh, "60", "", 600},
        RefusalCase{"IndoorAt60_1C", kMetric, AlarmRow::IndoorTempHigh, "60.1", kTemperature, 0},
        RefusalCase{"OutdoorAtMinus40_1C", kMetric, AlarmRow::OutdoorTempLow, "-40.1", kTemperature, 0},
        RefusalCase{"DewPointAt140F", kImperial, AlarmRow::DewPointHigh, "140", "", 600},
        RefusalCase{"IndoorAtMinus40F", kImperial, AlarmRow::IndoorTempLow, "-40", "", -400},
        RefusalCase{"IndoorAt140_1F", kImperial, AlarmRow::IndoorTempHigh, "140.1", kTemperature, 0},
        RefusalCase{"MinusTenthIsTheNotSetPattern", kMetric, AlarmRow::OutdoorTempLow, "-0.1", kNotSetCelsius, 0},
        RefusalCase{"ThirtyOnePointNineFahrenheitToo", kImperial, AlarmRow::OutdoorTempLow, "31.9", kNotSetFahrenheit,
                    0},
        RefusalCase{"ZeroCelsiusIsAValue", kMetric, AlarmRow::OutdoorTempLow, "0", "", 0},
        RefusalCase{"HumidityAt0", kMetric, AlarmRow::IndoorHumidityLow, "0", kHumidity, 0},
        RefusalCase{"HumidityAt100", kMetric, AlarmRow::OutdoorHumidityHigh, "100", kHumidity, 0},
        RefusalCase{"HumidityAt1", kMetric, AlarmRow::IndoorHumidityLow, "1", "", 1},
        RefusalCase{"HumidityAt99", kMetric, AlarmRow::OutdoorHumidityHigh, "99", "", 99},
        RefusalCase{"HumidityTypedUnset", kMetric, AlarmRow::OutdoorHumidityHigh, "--", "", 255},
        RefusalCase{"PressureAt299_9hPa", kMetric, AlarmRow::AbsPressureLow, "299.9", kBarometer, 0},
        RefusalCase{"PressureAt300hPa", kMetric, AlarmRow::AbsPressureLow, "300", "", 3000},
        RefusalCase{"PressureAt1100hPa", kMetric, AlarmRow::RelPressureHigh, "1100", "", 11000},
        RefusalCase{"PressureAt1100_1hPa", kMetric, AlarmRow::RelPressureHigh, "1100.1", kBarometer, 0},
        RefusalCase{"PressureAt8_86inHg", kImperial, AlarmRow::AbsPressureLow, "8.86", "", 3000},
        RefusalCase{"PressureAt32_48inHg", kImperial, AlarmRow::AbsPressureHigh, "32.48", "", 10999},
        RefusalCase{"PressureAt225mmHg", kMmHgKmh, AlarmRow::RelPressureLow, "225", "", 3000},
        RefusalCase{"PressureAt825_1mmHg", kMmHgKmh, AlarmRow::RelPressureHigh, "825.1", "", 11000},
        RefusalCase{"PressureTypedUnset", kMetric, AlarmRow::RelPressureHigh, "--.-", "", 0xFFFF},
        RefusalCase{"EmptyFieldIsRefusedByName", kMetric, AlarmRow::RelPressureLow, "",
                    "Low Alarm REL Barometer: the field is empty. Type a value.", 0},
        RefusalCase{"NegativeWind", kMetric, AlarmRow::WindSpeed, "-1", "Alarm Wind Speed:0 to 6553.4 m/s", 0},
        RefusalCase{"WindAtTheNotSetMarker", kMetric, AlarmRow::WindSpeed, "6553.5",
                    "Alarm Wind Speed:0 to 6553.4 m/s", 0},
        RefusalCase{"WindAt6553_4", kMetric, AlarmRow::WindSpeed, "6553.4", "", 65534},
        RefusalCase{"GustTooFastInKmh", kMmHgKmh, AlarmRow::GustSpeed, "23592.5",
                    "Alarm Wind Gust Speed:0 to 23592.2 km/h", 0},
        RefusalCase{"GustAt12Beaufort", kBeaufort, AlarmRow::GustSpeed, "12", "", 326},
        RefusalCase{"GustInKnots", kKnotFeet, AlarmRow::GustSpeed, "10", "", 51},
        RefusalCase{"GustInFeetPerSecond", kFeetPerSecond, AlarmRow::GustSpeed, "10", "", 30},
        RefusalCase{"FeelsLikeTypedUnset", kMetric, AlarmRow::FeelsLikeHigh, "--", "", 0xFFFF},
        RefusalCase{"FeelsLikeFar", kMetric, AlarmRow::FeelsLikeHigh, "3276.6", "", 32766},
        RefusalCase{"FeelsLikeWouldWrap", kMetric, AlarmRow::FeelsLikeHigh, "3276.8", kFeelsLike, 0},
        RefusalCase{"FeelsLikeAtItsNotSetMarker", kMetric, AlarmRow::FeelsLikeLow, "3276.7", kFeelsLike, 0},
        RefusalCase{"FeelsLikeBelowTheField", kMetric, AlarmRow::FeelsLikeLow, "-3276.9", kFeelsLike, 0}),
    test::CaseName{});

TEST(ReadAlarmFormTest, ChecksRunInTheDialogsOrder)
{
    AlarmForm form = ShowAlarm(Typical(), kMetric);
    form[AlarmRow::GustSpeed].text = "-5";
    form[AlarmRow::RelPressureLow].text = "5";
    form[AlarmRow::OutdoorHumidityHigh].text = "0";
    EXPECT_EQ(ReadAlarmForm(form, Typical(), kMetric).refusal.value_or(""), kHumidity);
    form[AlarmRow::OutdoorHumidityHigh].text = "50";
    EXPECT_EQ(ReadAlarmForm(form, Typical(), kMetric).refusal.value_or(""), kBarometer);
}

TEST(ReadAlarmFormTest, AFieldLeftAsShownKeepsTheConsolesValueInEveryUnit)
{
    AlarmThresholds console = Typical();
    // Values no display unit can show exactly, and every not-set pattern.
    console[AlarmRow::AbsPressureHigh].value = 10133;  // 29.92 inHg reads back as 10132
    console[AlarmRow::GustSpeed].value = 100;          // 5 bft reads back as 79
    console[AlarmRow::DewPointHigh].value = 0x7FFF;
    console[AlarmRow::DewPointLow].value = 0xFFFF;
    console[AlarmRow::OutdoorHumidityLow].value = kAlarmHumidityNotSet;
    console[AlarmRow::RelPressureLow].value = kAlarmWordNotSet;
    console[AlarmRow::IndoorHumidityHigh].value = 100;  // out of range, yet the console's own: not checked again
    for (const UnitCodes& units : {kMetric, kImperial, kMmHgKmh, kBeaufort, kKnotFeet, kFeetPerSecond}) {
        const AlarmInput input = ReadAlarmForm(ShowAlarm(console, units), console, units);
        EXPECT_FALSE(input.refusal) << input.refusal.value_or("");
        EXPECT_EQ(input.thresholds, console) << "wind unit " << int{units.wind};
    }
}

class AlarmWriteTest : public SettingsLinkFixture {
protected:
    AlarmThresholds ReadConsole()
    {
        EXPECT_EQ(link.Exchange(MakeCommand(CMD_READ_ALARM), CMD_READ_ALARM), ExchangeResult::Answered);
        return DecodeAlarm(link.Area().CopySlot(ReplyArea::kAlarmSlot), {});
    }
};

// The simulated console's thresholds as CMD_WRITE_ALARM carries them.
const Report kConsolesOwn = test::Command(
    0x07, 62, {1,  0x01, 0x2C, 1, 0x00, 0x96, 0, 6,  70,   1,    30,   0,    8,    0xFF, 0xFF, 0,
               0x26, 0x48, 0, 9, 0x28, 0xA0, 0, 0x26, 0xAC, 1,    2,    0x01, 0x5E, 1,    0xFF, 0x9C,
               1,    7,    95, 0, 0xFF, 0,  3, 0x7F, 0xFF, 0,    0x7F, 0xFF, 0,    4,    0x01, 0x90,
               0,    0xFF, 0xFF, 0, 11, 0xFF, 0xFF, 0, 12, 0x00, 0xC8, 1});

TEST_F(AlarmWriteTest, SavedUnchangedTheConsoleGetsItsOwnBytesBackInEveryUnit)
{
    for (const UnitCodes& units : {kMetric, kImperial, kMmHgKmh, kBeaufort, kKnotFeet, kFeetPerSecond}) {
        console.ClearReceived();
        const AlarmThresholds shown = ReadConsole();
        const SaveOutcome outcome = SaveAlarm(link, flag, ShowAlarm(shown, units), shown, units);
        EXPECT_EQ(outcome.message, "Save Success");
        EXPECT_EQ(ReceivedCodes(), (std::vector<std::uint8_t>{0x06, 0x20, 0x07}));
        EXPECT_EQ(OnlyCommand(0x07), kConsolesOwn) << "wind unit " << int{units.wind};
    }
}

struct WriteCase : test::NamedCase {
    UnitCodes units;
    std::vector<std::pair<AlarmRow, AlarmEntry>> typed;
    std::vector<std::pair<std::size_t, std::uint8_t>> changed;  // bytes of the write that differ from the console's own
};

class AlarmLimitsWriteTest : public AlarmWriteTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(AlarmLimitsWriteTest, ConsoleReceivesTheThresholdsByteForByte)
{
    const WriteCase& c = GetParam();
    const AlarmThresholds shown = ReadConsole();
    AlarmForm form = ShowAlarm(shown, c.units);
    for (const auto& [row, entry] : c.typed)
        form[row] = entry;
    EXPECT_EQ(SaveAlarm(link, flag, form, shown, c.units).status, SaveStatus::Done);
    Report expected = kConsolesOwn;
    for (const auto& [at, byte] : c.changed)
        expected[at] = byte;
    EXPECT_EQ(OnlyCommand(0x07), expected);
    // The console keeps what it was sent: read back, every field shows it.
    EXPECT_EQ(ShowAlarm(ReadConsole(), c.units), form);
}

INSTANTIATE_TEST_SUITE_P(
    Units, AlarmLimitsWriteTest,
    ::testing::Values(
        WriteCase{"CelsiusHpaMetres",
                  kMetric,
                  {{AlarmRow::IndoorTempHigh, {"60.0", false}},
                   {AlarmRow::IndoorTempLow, {"-40.0", true}},
                   {AlarmRow::IndoorHumidityHigh, {"99", true}},
                   {AlarmRow::IndoorHumidityLow, {"1", true}},
                   {AlarmRow::AbsPressureHigh, {"1100.0", true}},
                   {AlarmRow::WindSpeed, {"6553.4", true}}},
                  {{3, 0x02}, {4, 0x58}, {5, 0}, {6, 0xFE}, {7, 0x70}, {8, 1}, {10, 99}, {12, 1}, {13, 1},
                   {15, 0x2A}, {16, 0xF8}, {17, 1}, {55, 0xFF}, {56, 0xFE}, {57, 1}}},
        WriteCase{"FahrenheitInHgMph",
                  kImperial,
                  {{AlarmRow::OutdoorTempHigh, {"140.0", true}},
                   {AlarmRow::OutdoorTempLow, {"-40.0", true}},
                   {AlarmRow::RelPressureHigh, {"32.48", false}},
                   {AlarmRow::RelPressureLow, {"8.86", true}},
                   {AlarmRow::GustSpeed, {"0.0", false}}},
                  {{29, 0x02}, {30, 0x58}, {32, 0xFE}, {33, 0x70}, {22, 0x2A}, {23, 0xF7}, {25, 0x0B}, {26, 0xB8},
                   {59, 0}, {60, 0}, {61, 0}}},
        WriteCase{"MmHgKmhSetsAndClearsThresholds",
                  kMmHgKmh,
                  {{AlarmRow::AbsPressureHigh, {"825.1", false}},
                   {AlarmRow::AbsPressureLow, {"--.-", false}},
                   {AlarmRow::DewPointHigh, {"12.5", true}},
                   {AlarmRow::OutdoorHumidityLow, {"35", true}},
                   {AlarmRow::IndoorHumidityLow, {"--", false}},
                   {AlarmRow::WindSpeed, {"36.0", true}}},
                  {{15, 0x2A}, {16, 0xF8}, {18, 0xFF}, {19, 0xFF}, {41, 0x00}, {42, 0x7D}, {43, 1}, {38, 35},
                   {39, 1}, {12, 0xFF}, {55, 0x00}, {56, 0x64}, {57, 1}}},
        WriteCase{"BeaufortClassesAndFahrenheitFeelsLike",
                  kBeaufort,
                  {{AlarmRow::WindSpeed, {"12", false}},
                   {AlarmRow::GustSpeed, {"3", true}},
                   {AlarmRow::FeelsLikeLow, {"-4.0", true}}},
                  {{55, 0x01}, {56, 0x46}, {59, 0x00}, {60, 0x22}, {51, 0xFF}, {52, 0x38}, {53, 1}}}),
    test::CaseName{});

TEST_F(AlarmWriteTest, RefusedFormSendsNothing)
{
    const AlarmThresholds shown = ReadConsole();
    console.ClearReceived();
    AlarmForm form = ShowAlarm(shown, kMetric);
    form[AlarmRow::IndoorHumidityHigh].text = "100";
    const SaveOutcome outcome = SaveAlarm(link, flag, form, shown, kMetric);
    EXPECT_EQ(outcome.status, SaveStatus::InvalidInput);
    EXPECT_EQ(outcome.message, kHumidity);
    EXPECT_TRUE(console.ReceivedCommands().empty());
}

TEST_F(AlarmWriteTest, RainThresholdsTheConsoleSendsAreKeptThroughASave)
{
    console.Alarm().SetItemOrder({14, 1, 2, 3, 4, 6, 7, 8, 9, 11, 12, 16});
    const std::vector<std::uint8_t> rainRate = console.Alarm().Item(14);
    const AlarmThresholds shown = ReadConsole();
    EXPECT_EQ(shown[AlarmRow::RainRate], (AlarmLimit{100, false}));
    EXPECT_EQ(shown[AlarmRow::GustSpeed], (AlarmLimit{0, false})) << "the gust item did not fit the reply";
    ASSERT_EQ(SaveAlarm(link, flag, ShowAlarm(shown, kMetric), shown, kMetric).status, SaveStatus::Done);
    EXPECT_EQ(console.Alarm().Item(14), rainRate);
}

}  // namespace
}  // namespace vorelle
