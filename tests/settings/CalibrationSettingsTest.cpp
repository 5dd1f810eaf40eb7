#include "live/LiveDecoder.h"
#include "settings/CalibrationSettings.h"
#include "settings/SettingsLinkFixture.h"
#include "support/NamedCase.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace vorelle {
namespace {

using test::SettingsLinkFixture;
using Row = CalibrationRow;

ReplyArea::Slot CalibrationBlock(std::vector<std::uint8_t> items)
{
    ReplyArea::Slot slot{};
    slot[0] = 0x04;
    slot[1] = static_cast<std::uint8_t>(items.size() + 2);
    std::copy(items.begin(), items.end(), slot.begin() + 2);
    return slot;
}

// The simulated console's block: all ten items in id order.
const std::vector<std::uint8_t> kConsoleItems = {1,  0x00, 0x0A, 2,  0x00, 0xFF, 6,  0xF6, 7,  0x03, 8,   0xFF, 0xE9,
                                                 9,  0x00, 0x7D, 10, 0x00, 0xFF, 11, 100,  13, 105,  21, 98};

CalibrationOffsets Offsets(std::array<std::int32_t, kCalibrationRows> rows)
{
    CalibrationOffsets offsets;
    offsets.rows = rows;
    return offsets;
}

TEST(DecodeCalibrationTest, SignedOffsetsUpToTheItemLimit)
{
    CalibrationOffsets previous;
    previous.windGain = 7;
    CalibrationOffsets expected = Offsets({10, 255, -10, 3, -23, 125, 255});
    expected.windGain = 7;  // the gains come after offset 19 and are not read
    EXPECT_EQ(DecodeCalibration(CalibrationBlock(kConsoleItems), previous), expected);

    // Any order; a gain early in the block is read; an unknown id ends it.
    const CalibrationOffsets early =
        DecodeCalibration(CalibrationBlock({11, 0x9C, 10, 0xFF, 0xFB, 5, 0x01, 1, 0x7F, 0xFF}), Offsets({1, 1, 1, 1, 1, 1, 1}));
    CalibrationOffsets earlyExpected = Offsets({1, 1, 1, 1, 1, 1, -5});
    earlyExpected.windGain = -100;
    EXPECT_EQ(early, earlyExpected);
}

TEST(DecodeCalibrationTest, AnItemPastWhatArrivedIsNotRead)
{
    ReplyArea::Slot slot = CalibrationBlock({1, 0x00, 0x0A, 2, 0x00, 0x14});
    slot[1] = 6;  // the reply holds the first item and one byte of the second
    EXPECT_EQ(DecodeCalibration(slot, Offsets({0, 99, 0, 0, 0, 0, 0})), Offsets({10, 99, 0, 0, 0, 0, 0}));
    EXPECT_EQ(DecodeCalibration(std::span<const std::uint8_t>(slot.data(), 1), {}), CalibrationOffsets{});
}

constexpr UnitCodes kMetricUnits{0, 2, 0, 0, 0};
constexpr UnitCodes kFahrenheitInHg{1, 0, 0, 0, 0};
constexpr UnitCodes kMmHg{0, 1, 0, 0, 0};

TEST(ShowCalibrationTest, OffsetsInTheDisplayUnits)
{
    const CalibrationOffsets offsets = Offsets({10, 255, -10, 3, -23, 125, 255});
    const auto texts = [&](const UnitCodes& units) { return ShowCalibration(offsets, units).texts; };
    using Texts = std::array<std::string, kCalibrationRows>;
    EXPECT_EQ(texts(kMetricUnits), (Texts{"1.0", "--", "-10", "3", "-2.3", "12.5", "--"}));
    EXPECT_EQ(texts(kFahrenheitInHg), (Texts{"1.8", "--", "-10", "3", "-0.07", "0.37", "--"}));
    EXPECT_EQ(texts(kMmHg), (Texts{"1.0", "--", "-10", "3", "-1.7", "9.4", "--"}));
}

LiveValues Readings(std::int32_t indoorTemp, std::int32_t outdoorTemp, std::int32_t indoorHumidity,
                    std::int32_t outdoorHumidity, std::int32_t windDir)
{
    LiveValues values;
    ResetLiveValues(values);
    values.IndoorTemp = indoorTemp;
    values.OutdoorTemp = outdoorTemp;
    values.IndoorHumidity = indoorHumidity;
    values.OutdoorHumidity = outdoorHumidity;
    values.WindDir = windDir;
    return values;
}

struct CheckCase : test::NamedCase {
    UnitCodes units;
    CalibrationOffsets shown;
    LiveValues current;
    Row row;
    const char* text;
    const char* message;  // empty: accepted
    std::int32_t written;
};

const char* const kTemperatureRangeError = "Offest Temperature Range Error";
const char* const kHumidityRangeError = "Offest Humidity Range Error";
const char* const kPressure = "Offest Pressure Range Error";
const char* const kDirection = "Offest Wind Direction Range Error";

// Readings that every offset of 0 keeps in range.
const LiveValues kUsual = Readings(215, 120, 45, 70, 180);
const CalibrationOffsets kZero = Offsets({0, 0, 0, 0, 0, 0, 0});
const CalibrationOffsets kIndoorOne = Offsets({10, 0, 0, 0, 0, 0, 0});
const CalibrationOffsets kHumidityFifty = Offsets({0, 0, 50, 0, 0, 0, 0});

class ReadCalibrationFormTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(ReadCalibrationFormTest, TheReadingStaysInRangeAndTheValueCheckedIsWritten)
{
    const CheckCase& c = GetParam();
    CalibrationForm form = ShowCalibration(c.shown, c.units);
    form[c.row] = c.text;
    const CalibrationInput input = ReadCalibrationForm(form, c.shown, c.units, c.current);
    EXPECT_EQ(input.refusal.value_or(""), c.message);
    if (!input.refusal) {
        EXPECT_EQ(input.offsets[c.row], c.written);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Limits, ReadCalibrationFormTest,
    ::testing::Values(
        CheckCase{"IndoorUpTo60", kMetricUnits, kIndoorOne, Readings(250, 120, 45, 70, 180), Row::IndoorTemp, "36.0", "", 360},
        CheckCase{"IndoorPast60", kMetricUnits, kIndoorOne, Readings(250, 120, 45, 70, 180), Row::IndoorTemp, "36.1",
                  kTemperatureRangeError, 0},
        CheckCase{"OutdoorSensorMissing", kMetricUnits, kZero, Readings(215, 0x7FFF, 45, 70, 180), Row::OutdoorTemp, "60.0",
                  "", 600},
        CheckCase{"OutdoorSensorMissingPast60", kMetricUnits, kZero, Readings(215, 0xFFFF, 45, 70, 180), Row::OutdoorTemp,
                  "60.1", kTemperatureRangeError, 0},
        CheckCase{"QuarterRoundsUpAndIsWrittenSo", kMetricUnits, kZero, kUsual, Row::IndoorTemp, "0.25", "", 3},
        CheckCase{"TwoPointThree", kMetricUnits, kZero, kUsual, Row::IndoorTemp, "2.3", "", 23},
        CheckCase{"OneFahrenheitDegree", kFahrenheitInHg, kZero, kUsual, Row::OutdoorTemp, "1.0", "", 6},
        CheckCase{"NegativeFahrenheitRoundsAwayFromZero", kFahrenheitInHg, kZero, kUsual, Row::IndoorTemp, "-1.0", "",
                  -6},
        CheckCase{"TypedDashesMean255", kMetricUnits, kZero, kUsual, Row::IndoorTemp, "--", "", 255},
        CheckCase{"TemperatureBeyondItsField", kMetricUnits, kZero, Readings(-32768, 120, 45, 70, 180), Row::IndoorTemp,
                  "3300", kTemperatureRangeError, 0},
        CheckCase{"HumidityWithoutReading", kMetricUnits, kZero, Readings(215, 120, 0xFFFF, 70, 180), Row::IndoorHumidity,
                  "-98", "", -98},
        CheckCase{"HumidityWithoutReadingPast98", kMetricUnits, kZero, Readings(215, 120, 0xFFFF, 70, 180),
                  Row::IndoorHumidity, "99", kHumidityRangeError, 0},
        CheckCase{"UntouchedOffsetWithoutReadingIsNotChecked", kMetricUnits, Offsets({0, 0, -10, 0, 0, 0, 0}),
                  Readings(0x7FFF, 0x7FFF, 0xFFFF, 0xFFFF, 0xFFFF), Row::IndoorTemp, "2.0", "", 20},
        CheckCase{"EmptyFieldIsRefusedByName", kMetricUnits, kZero, kUsual, Row::OutdoorHumidity, "",
                  "Outdoor Humidity: the field is empty. Type a value.", 0},
        CheckCase{"HumidityByteFFIsNoReadingEither", kMetricUnits, kZero, Readings(215, 120, 45, 255, 180),
                  Row::OutdoorHumidity, "5", "", 5},
        CheckCase{"HumidityWithReading", kMetricUnits, kZero, Readings(215, 120, 50, 70, 180), Row::IndoorHumidity,
                  "0", "", 0},
        CheckCase{"HumidityPast99", kMetricUnits, kZero, Readings(215, 120, 90, 70, 180), Row::IndoorHumidity, "10",
                  kHumidityRangeError, 0},
        CheckCase{"HumidityBeyondItsByte", kMetricUnits, kHumidityFifty, Readings(215, 120, 20, 70, 180),
                  Row::IndoorHumidity, "128", kHumidityRangeError, 0},
        CheckCase{"HumidityAtTheEndOfItsByte", kMetricUnits, kHumidityFifty, Readings(215, 120, 20, 70, 180),
                  Row::IndoorHumidity, "127", "", 127},
        CheckCase{"DirectionTo360", kMetricUnits, kZero, Readings(215, 120, 45, 70, 350), Row::WindDirection, "10", "", 10},
        CheckCase{"DirectionPast360", kMetricUnits, kZero, Readings(215, 120, 45, 70, 350), Row::WindDirection, "11",
                  kDirection, 0},
        CheckCase{"DirectionWithoutReading", kMetricUnits, kZero, Readings(215, 120, 45, 70, 0xFFFF), Row::WindDirection,
                  "-360", "", -360},
        CheckCase{"DirectionWithoutReadingPast360", kMetricUnits, kZero, Readings(215, 120, 45, 70, 0xFFFF),
                  Row::WindDirection, "361", kDirection, 0},
        CheckCase{"PressureAt800", kMetricUnits, kZero, kUsual, Row::AbsPressure, "800.0", "", 8000},
        CheckCase{"PressurePast800", kMetricUnits, kZero, kUsual, Row::RelPressure, "800.1", kPressure, 0},
        CheckCase{"PressureBelowMinus800", kMetricUnits, kZero, kUsual, Row::RelPressure, "-800.1", kPressure, 0},
        CheckCase{"PressureInInHg", kFahrenheitInHg, kZero, kUsual, Row::AbsPressure, "23.62", "", 7999},
        CheckCase{"PressureInMmHg", kMmHg, kZero, kUsual, Row::AbsPressure, "-1.7", "", -23},
        CheckCase{"NotANumberReadsAsZero", kMetricUnits, kZero, kUsual, Row::RelPressure, "abc", "", 0}),
    test::CaseName{});

TEST(ReadCalibrationFormTest, AFieldLeftAsShownKeepsTheConsolesValueInEveryUnit)
{
    // 5 tenths of hPa show as 0.01 inHg, which would read back as 3.
    const CalibrationOffsets console = Offsets({10, 255, -10, 3, 5, -23, 255});
    for (const UnitCodes& units : {kMetricUnits, kFahrenheitInHg, kMmHg}) {
        const CalibrationInput input = ReadCalibrationForm(ShowCalibration(console, units), console, units, kUsual);
        EXPECT_FALSE(input.refusal) << input.refusal.value_or("");
        EXPECT_EQ(input.offsets, console) << "pressure unit " << int{units.pressure};
    }
}

class CalibrationWriteTest : public SettingsLinkFixture {
protected:
    CalibrationOffsets ReadConsole()
    {
        EXPECT_EQ(link.Exchange(MakeCommand(CMD_READ_CALIB), CMD_READ_CALIB), ExchangeResult::Answered);
        return DecodeCalibration(link.Area().CopySlot(ReplyArea::kCalibSlot), {});
    }
};

const Report kConsolesOwnOffsets =
    test::Command(0x05, 21, {1, 0x00, 0x0A, 2, 0x00, 0xFF, 6, 0xF6, 7, 0x03, 8, 0xFF, 0xE9, 9, 0x00, 0x7D, 10, 0x00, 0xFF});

TEST_F(CalibrationWriteTest, SavedUnchangedTheConsoleGetsItsOwnBytesBackInEveryUnit)
{
    for (const UnitCodes& units : {kMetricUnits, kFahrenheitInHg, kMmHg}) {
        console.ClearReceived();
        const CalibrationOffsets shown = ReadConsole();
        const SaveOutcome outcome = SaveCalibration(link, flag, ShowCalibration(shown, units), shown, units, kUsual);
        EXPECT_EQ(outcome.message, "Save Success");
        EXPECT_EQ(ReceivedCodes(), (std::vector<std::uint8_t>{0x04, 0x20, 0x05}));
        EXPECT_EQ(OnlyCommand(0x05), kConsolesOwnOffsets);
    }
    EXPECT_EQ(console.Calibration().Item(11), (std::vector<std::uint8_t>{100})) << "the gains stay";
    EXPECT_EQ(console.Calibration().Item(21), (std::vector<std::uint8_t>{98}));
}

TEST_F(CalibrationWriteTest, ConsoleReceivesTheOffsetsByteForByteAtTheirLimits)
{
    const CalibrationOffsets shown = ReadConsole();
    // No readings: each offset is held to the range an offset of its kind can span.
    const LiveValues none = Readings(0x7FFF, 0xFFFF, 0xFFFF, 255, 0xFFFF);
    CalibrationForm form = ShowCalibration(shown, kFahrenheitInHg);
    form[Row::IndoorTemp] = "-72.0";       // -400
    form[Row::OutdoorTemp] = "108.0";      // 600
    form[Row::IndoorHumidity] = "98";
    form[Row::OutdoorHumidity] = "-98";
    form[Row::AbsPressure] = "-23.62";     // -7999
    form[Row::RelPressure] = "0.01";       // 3
    form[Row::WindDirection] = "-360";
    ASSERT_EQ(SaveCalibration(link, flag, form, shown, kFahrenheitInHg, none).status, SaveStatus::Done);
    EXPECT_EQ(OnlyCommand(0x05), test::Command(0x05, 21, {1, 0xFE, 0x70, 2, 0x02, 0x58, 6, 98, 7, 0x9E, 8, 0xE0, 0xC1,
                                                          9, 0x00, 0x03, 10, 0xFE, 0x98}));
    EXPECT_EQ(ReadConsole(), Offsets({-400, 600, 98, -98, -7999, 3, -360}));
}

TEST_F(CalibrationWriteTest, RefusedOffsetSendsNothing)
{
    const CalibrationOffsets shown = ReadConsole();
    console.ClearReceived();
    CalibrationForm form = ShowCalibration(shown, kMetricUnits);
    form[Row::RelPressure] = "900";
    const SaveOutcome outcome = SaveCalibration(link, flag, form, shown, kMetricUnits, kUsual);
    EXPECT_EQ(outcome.status, SaveStatus::InvalidInput);
    EXPECT_EQ(outcome.message, kPressure);
    EXPECT_TRUE(console.ReceivedCommands().empty());
}

}  // namespace
}  // namespace vorelle
