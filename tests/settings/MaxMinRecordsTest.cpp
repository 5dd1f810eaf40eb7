#include "settings/MaxMinRecords.h"
#include "settings/SettingsLinkFixture.h"
#include "support/NamedCase.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorelle {
namespace {

using test::Command;
using test::SettingsLinkFixture;

// The twelve shown items, 47 bytes, at the start of the dialog's 256-byte copy.
std::vector<std::uint8_t> FullBlock()
{
    std::vector<std::uint8_t> block = {
        0x01, 0x00, 0xEC, 0x00, 0xBC,  // indoor 23.6 / 18.8 °C
        0x02, 0x00, 0xB2, 0xFF, 0x9C,  // outdoor 17.8 / -10.0 °C
        0x03, 0x7F, 0xFF, 0x7F, 0xFF,  // dew point not set
        0x06, 0x39, 0x26,              // indoor humidity 57 / 38 %
        0x07, 0xFF, 0xFF,              // outdoor humidity not set
        0x08, 0x27, 0x69, 0x26, 0x92,  // absolute 1008.9 / 987.4 hPa
        0x09, 0x27, 0xF9, 0x27, 0x22,  // relative 1023.3 / 1001.8 hPa
        0x0B, 0x00, 0x56,              // wind 8.6 m/s
        0x0C, 0xFF, 0xFF,              // gust not set
        0x15, 0x00, 0x00, 0x27, 0x10,  // light 1000.0 lux
        0x17, 0x07,                    // UV 7
        0x19, 0xFF, 0x38,              // feels like -20.0 °C
    };
    block.resize(256);
    return block;
}

MaxMinRecords FullRecords()
{
    MaxMinRecords r;
    r.indoorTemp = {236, 188, true};
    r.outdoorTemp = {178, -100, true};
    r.dewPoint = {kMaxMinTemperatureNotSet, kMaxMinTemperatureNotSet, true};
    r.indoorHumidity = {57, 38, true};
    r.outdoorHumidity = {kMaxMinByteNotSet, kMaxMinByteNotSet, true};
    r.absPressure = {10089, 9874, true};
    r.relPressure = {10233, 10018, true};
    r.windSpeed = {86, 0, true};
    r.gustSpeed = {kMaxMinWordNotSet, 0, true};
    r.light = {10000, 0, true};
    r.uvIndex = {7, 0, true};
    r.feelsLike = {-200, 0, true};
    return r;
}

TEST(DecodeMaxMinTest, ReadsEveryShownItem)
{
    EXPECT_EQ(DecodeMaxMin(FullBlock(), {}), FullRecords());
}

TEST(DecodeMaxMinTest, EmptyReplyAtTheFirstOpeningShowsNothing)
{
    EXPECT_EQ(DecodeMaxMin(std::vector<std::uint8_t>(256, 0), {}), MaxMinRecords{});
}

struct PartialCase : test::NamedCase {
    std::vector<std::uint8_t> block;  // exactly these bytes: nothing may be read past them
    void (*change)(MaxMinRecords&);   // what the block changes in the earlier records
};

class DecodeOverEarlierTest : public ::testing::TestWithParam<PartialCase> {};

TEST_P(DecodeOverEarlierTest, AbsentItemsKeepTheEarlierValues)
{
    MaxMinRecords expected = FullRecords();
    GetParam().change(expected);
    EXPECT_EQ(DecodeMaxMin(GetParam().block, FullRecords()), expected);
}

std::vector<std::uint8_t> UpTo47()
{
    std::vector<std::uint8_t> block;
    for (int i = 0; i < 15; ++i)
        block.insert(block.end(), {0x0B, 0x00, 0x01});  // offsets 0 to 44
    block.insert(block.end(), {0x17, 0x03});              // offset 45
    block.insert(block.end(), {0x06, 0x11, 0x11});        // offset 47: not read
    return block;
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, DecodeOverEarlierTest,
    ::testing::Values(
        PartialCase{"FirstIdZero", std::vector<std::uint8_t>(256, 0), [](MaxMinRecords&) {}},
        PartialCase{"LightNotSet", {0x15, 0x00, 0xFF, 0xFF, 0xFF},
                    [](MaxMinRecords& r) { r.light.max = kMaxMinLightNotSet; }},
        PartialCase{"Items4And22SkippedBySize", {0x04, 0x12, 0x34, 0x16, 0xAB, 0xCD, 0x17, 0x05},
                    [](MaxMinRecords& r) { r.uvIndex.max = 5; }},
        PartialCase{"UnknownIdStops", {0x17, 0x05, 0x05, 0x00, 0x17, 0x09},
                    [](MaxMinRecords& r) { r.uvIndex.max = 5; }},
        PartialCase{"TruncatedLastItem", {0x06, 0x32, 0x28, 0x01, 0x00, 0xEC},
                    [](MaxMinRecords& r) { r.indoorHumidity = {50, 40, true}; }},
        PartialCase{"LoneIdAtTheEnd", {0x17}, [](MaxMinRecords&) {}},
        PartialCase{"Empty", {}, [](MaxMinRecords&) {}},
        PartialCase{"NothingStartsAtOffset47", UpTo47(),
                    [](MaxMinRecords& r) {
                        r.windSpeed.max = 1;
                        r.uvIndex.max = 3;
                    }}),
    test::CaseName{});

struct MaskCase : test::NamedCase {
    MaxMinClearBoxes boxes;
    Report expected;
};

class ClearMaxMinTest : public SettingsLinkFixture, public ::testing::WithParamInterface<MaskCase> {};

TEST_P(ClearMaxMinTest, ConsoleReceivesTheMaskLeastSignificantByteFirst)
{
    const SaveOutcome outcome = ClearMaxMin(link, flag, GetParam().boxes);
    EXPECT_EQ(outcome.status, SaveStatus::Done);
    EXPECT_EQ(outcome.message, "Clear Success");
    EXPECT_EQ(ReceivedCodes(), (std::vector<std::uint8_t>{0x20, 0x09}));
    EXPECT_EQ(OnlyCommand(0x09), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, ClearMaxMinTest,
    // Byte 1 is 4 and the mask fills bytes 2 to 5.
    ::testing::Values(MaskCase{"NoBoxStillSends", {}, Command(0x09, 4, {0x00, 0x00, 0x00, 0x00})},
                      MaskCase{"WindSpeed", {.windSpeed = true}, Command(0x09, 4, {0x00, 0x00, 0x01, 0x00})},
                      MaskCase{"IndoorTemperature", {.indoorTemp = true}, Command(0x09, 4, {0x03, 0x00, 0x00, 0x00})},
                      MaskCase{"OutdoorHumidityAndUv", {.outdoorHumidity = true, .uvIndex = true},
                               Command(0x09, 4, {0x00, 0x0C, 0x08, 0x00})},
                      MaskCase{"ClearAll", MaxMinClearBoxes::All(), Command(0x09, 4, {0xFF, 0xFF, 0x0F, 0x00})}),
    test::CaseName{});

}  // namespace
}  // namespace vorelle
