#include "settings/RainTotals.h"
#include "settings/SettingsLinkFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace vorelle {
namespace {

using test::Command;
using test::SettingsLinkFixture;

// A typed total as the rain parser reads it: the number, times 25.4 in
// inches, times 10, plus 0.5, truncated.
std::int32_t Mm(double number) { return static_cast<std::int32_t>(number * 10.0 + 0.5); }
std::int32_t In(double number) { return static_cast<std::int32_t>(number * 25.4 * 10.0 + 0.5); }

constexpr RainEntry kMissing = std::nullopt;

constexpr std::uint8_t kMm = 0;
constexpr std::uint8_t kInches = 1;

struct ValidationCase {
    const char* name;
    std::uint8_t unit;
    RainTotalsFields fields;  // as typed
    const char* message;      // empty: accepted
};

void PrintTo(const ValidationCase& c, std::ostream* os) { *os << c.name; }

class ValidateRainTotalsTest : public ::testing::TestWithParam<ValidationCase> {};

TEST_P(ValidateRainTotalsTest, RefusesTheFirstTotalOutOfRange)
{
    const ValidationCase& c = GetParam();
    const RainTotalsInput input = ReadRainTotals(c.fields, c.unit);
    EXPECT_EQ(input.refusal.value_or(""), c.message);
    EXPECT_EQ(BuildWriteItems(input.totals).has_value(), !ValidateRainTotals(input.totals));
}

INSTANTIATE_TEST_SUITE_P(
    Limits, ValidateRainTotalsTest,
    ::testing::Values(
        ValidationCase{"DayAt6553_5mm", kMm, {"6553.5", "0", "0", "0"}, ""},
        ValidationCase{"DayAt6553_6mm", kMm, {"6553.6", "0", "0", "0"}, "RainDay: 0  to 6553 mm / 257.9 in"},
        ValidationCase{"DayAt257_9in", kInches, {"257.9", "0", "0", "0"}, ""},
        ValidationCase{"WeekAt6553_6mm", kMm, {"0", "6553.6", "0", "0"}, "RainWeek: 0  to 6553 mm / 257.9 in"},
        ValidationCase{"MonthAt9999_9mm", kMm, {"0", "0", "9999.9", "0"}, ""},
        ValidationCase{"MonthAt10000mm", kMm, {"0", "0", "10000", "0"}, "RainMonth: 0  to 9999.9 mm / 393.66 in"},
        ValidationCase{"MonthAt393_66in", kInches, {"0", "0", "393.66", "0"}, ""},
        ValidationCase{"MonthAt393_7in", kInches, {"0", "0", "393.7", "0"}, "RainMonth: 0  to 9999.9 mm / 393.66 in"},
        ValidationCase{"YearAt393_7in", kInches, {"0", "0", "0", "393.7"}, "RainYear: 0  to 9999.9 mm / 393.66 in"},
        ValidationCase{"NegativeDay", kMm, {"-1", "0", "0", "0"}, "RainDay: 0  to 6553 mm / 257.9 in"},
        ValidationCase{"NegativeWeek", kMm, {"0", "-2", "0", "0"}, "RainWeek: 0  to 6553 mm / 257.9 in"},
        ValidationCase{"NegativeMonth", kMm, {"0", "0", "-1", "0"}, "RainMonth: 0  to 9999.9 mm / 393.66 in"},
        ValidationCase{"NegativeYear", kMm, {"0", "0", "0", "-5"}, "RainYear: 0  to 9999.9 mm / 393.66 in"},
        ValidationCase{"DayIsCheckedBeforeYear", kMm, {"7000", "0", "0", "-1"}, "RainDay: 0  to 6553 mm / 257.9 in"},
        ValidationCase{"AllMissing", kMm, {"--", "--", "--", "--"}, ""},
        ValidationCase{"EmptyFieldIsRefusedByName", kMm, {"1", "2", " ", "4"},
                       "Monthly Rainfall: the field is empty. Type a value."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RainEntryTest, OnlyTheTextTellsMissingFromAReal6553_5mm)
{
    EXPECT_EQ(RainEntryOf("--", 0xFFFF), kMissing);
    EXPECT_EQ(RainEntryOf("6553.5", 0xFFFF), RainEntry(0xFFFF));
    EXPECT_EQ(RainEntryOf("-- ", 0), RainEntry(0)) << "only the exact text is the mark";
}

struct RainWriteCase {
    const char* name;
    RainTotalsForm form;
    Report expected;
};

void PrintTo(const RainWriteCase& c, std::ostream* os) { *os << c.name; }

class SaveRainTotalsTest : public SettingsLinkFixture, public ::testing::WithParamInterface<RainWriteCase> {};

TEST_P(SaveRainTotalsTest, ConsoleReceivesTheTotalsByteForByte)
{
    const SaveOutcome outcome = SaveRainTotals(link, flag, GetParam().form);
    EXPECT_EQ(outcome.status, SaveStatus::Done);
    EXPECT_EQ(outcome.message, "Save Success");
    EXPECT_EQ(ReceivedCodes(), (std::vector<std::uint8_t>{0x20, 0x0D}));
    EXPECT_EQ(OnlyCommand(0x0D), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Totals, SaveRainTotalsTest,
    ::testing::Values(
        // 257.9 in is 65507 (FF E3), 9999.9 mm 99999 (01 86 9F), 393.66 in 99990 (01 86 96).
        RainWriteCase{"AtTheirLimits",
                  {Mm(6553.5), In(257.9), Mm(9999.9), In(393.66)},
                  Command(0x0D, 18, {16, 0xFF, 0xFF, 17, 0xFF, 0xE3, 18, 0x00, 0x01, 0x86, 0x9F,
                                     19, 0x00, 0x01, 0x86, 0x96})},
        RainWriteCase{"MissingTotalsKeepTheConsolesOwn",
                  {kMissing, kMissing, kMissing, kMissing},
                  Command(0x0D, 18, {16, 0xFF, 0xFF, 17, 0xFF, 0xFF, 18, 0xFF, 0xFF, 0xFF, 0xFF,
                                     19, 0xFF, 0xFF, 0xFF, 0xFF})},
        // 6553.5 mm is a real month total, not the "no value" mark.
        RainWriteCase{"MonthOfExactly6553_5mm",
                  {Mm(12.3), 0, Mm(6553.5), kMissing},
                  Command(0x0D, 18, {16, 0x00, 0x7B, 17, 0x00, 0x00, 18, 0x00, 0x00, 0xFF, 0xFF,
                                     19, 0xFF, 0xFF, 0xFF, 0xFF})},
        RainWriteCase{"Zeros", {0, 0, 0, 0},
                  Command(0x0D, 18, {16, 0, 0, 17, 0, 0, 18, 0, 0, 0, 0, 19, 0, 0, 0, 0})}),
    [](const auto& info) { return std::string(info.param.name); });

class RainTotalsConsoleTest : public SettingsLinkFixture {};

TEST_F(RainTotalsConsoleTest, RefusedTotalSendsNothing)
{
    const SaveOutcome outcome = SaveRainTotals(link, flag, {0, 0, Mm(10000), 0});
    EXPECT_EQ(outcome.status, SaveStatus::InvalidInput);
    EXPECT_EQ(outcome.message, "RainMonth: 0  to 9999.9 mm / 393.66 in");
    EXPECT_TRUE(console.ReceivedCommands().empty());
}

}  // namespace
}  // namespace vorelle
