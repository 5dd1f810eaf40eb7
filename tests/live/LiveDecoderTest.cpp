#include "live/LiveDecoder.h"
#include "live/LiveItems.h"
#include "support/NamedCase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace vorelle {
namespace {

LiveValues Decoded(const std::vector<std::uint8_t>& record, bool* channels = nullptr)
{
    LiveValues values;
    ResetLiveValues(values);
    const bool present = DecodeLive(record, values);
    if (channels)
        *channels = present;
    return values;
}

struct ItemCase : test::NamedCase {
    std::vector<std::uint8_t> record;
    std::int32_t LiveValues::*field;
    std::int32_t expected;
};

class DecodeItemTest : public ::testing::TestWithParam<ItemCase> {};

TEST_P(DecodeItemTest, DecodesTheValueOrItsMissingMarker)
{
    const ItemCase& c = GetParam();
    EXPECT_EQ(Decoded(c.record).*c.field, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, DecodeItemTest,
    ::testing::Values(
        ItemCase{"TemperaturePositive", {0x01, 0x00, 0xFA}, &LiveValues::IndoorTemp, 250},
        ItemCase{"TemperatureNegative", {0x01, 0xFF, 0x38}, &LiveValues::IndoorTemp, -200},
        ItemCase{"TemperatureMissing", {0x01, 0x7F, 0xFF}, &LiveValues::IndoorTemp, 0x7FFF},
        ItemCase{"TemperatureMinusOneTenthIsAValue", {0x01, 0xFF, 0xFF}, &LiveValues::IndoorTemp, -1},
        ItemCase{"FeelsLike", {0x19, 0x00, 0x64}, &LiveValues::FeelsLikeTemp, 100},
        ItemCase{"Signed16Missing", {0x08, 0xFF, 0xFF}, &LiveValues::AbsBarometer, 0xFFFF},
        ItemCase{"Signed16Value", {0x09, 0x27, 0x8D}, &LiveValues::RelBarometer, 10125},
        ItemCase{"Signed16Negative", {0x0A, 0x80, 0x00}, &LiveValues::WindDir, -32768},
        ItemCase{"Rain16Missing", {0x10, 0xFF, 0xFF}, &LiveValues::RainToday, -1},
        ItemCase{"Rain16Value", {0x11, 0xFF, 0xFE}, &LiveValues::RainThisWeek, 65534},
        ItemCase{"Rain32Missing", {0x12, 0xFF, 0xFF, 0xFF, 0xFF}, &LiveValues::RainThisMonth, -1},
        ItemCase{"Rain32Value", {0x13, 0x00, 0x01, 0x86, 0x9F}, &LiveValues::RainThisYear, 99999},
        ItemCase{"LightMissing", {0x15, 0x00, 0xFF, 0xFF, 0xFF}, &LiveValues::SolarRadiation, 0x00FFFFFF},
        ItemCase{"LightValue", {0x15, 0x00, 0x00, 0x03, 0xE8}, &LiveValues::SolarRadiation, 1000},
        ItemCase{"ByteMissing", {0x06, 0xFF}, &LiveValues::IndoorHumidity, 0xFFFF},
        ItemCase{"ByteValue", {0x07, 0x55}, &LiveValues::OutdoorHumidity, 85},
        ItemCase{"UnsignedFFFF", {0x2A, 0xFF, 0xFF}, &LiveValues::Pm25, 0xFFFF},
        ItemCase{"UnsignedHigh", {0x2A, 0x80, 0x01}, &LiveValues::Pm25, 0x8001},
        ItemCase{"Soil", {0x2C, 0x2A}, &LiveValues::Soil, 42},
        ItemCase{"UvIndex", {0x17, 0x07}, &LiveValues::UvIndex, 7},
        ItemCase{"AbsentHumidityKeepsItsResetMarker", {0x01, 0x00, 0xFA}, &LiveValues::IndoorHumidity, 255},
        ItemCase{"StopsAtUnknownCode", {0x01, 0x00, 0xFA, 0x05, 0x00, 0x10, 0x02, 0x00, 0x64},
                 &LiveValues::OutdoorTemp, 0xFFFF},
        ItemCase{"ReadsBeforeUnknownCode", {0x01, 0x00, 0xFA, 0x05, 0x00, 0x10, 0x02, 0x00, 0x64},
                 &LiveValues::IndoorTemp, 250},
        ItemCase{"DateTimeTakesEightBytes",
                 {0x18, 0x07, 0xEA, 0x0C, 0x07, 0x0A, 0x1E, 0x00, 0x02, 0x00, 0x64}, &LiveValues::OutdoorTemp, 100},
        ItemCase{"TruncatedLastItemIsNotRead", {0x07, 0x40, 0x13, 0x00, 0x01, 0x86}, &LiveValues::RainThisYear, -1},
        ItemCase{"ItemBeforeTruncatedOneIsRead", {0x07, 0x40, 0x13, 0x00, 0x01, 0x86}, &LiveValues::OutdoorHumidity, 64}),
    test::CaseName{});

TEST(DecodeLiveTest, EveryChannelItemFillsItsEntryAndMarksChannelsPresent)
{
    for (int channel = 0; channel < kChannelCount; ++channel) {
        bool channels = false;
        const auto temp = static_cast<std::uint8_t>(item::FirstChannelTemp + channel);
        const auto humidity = static_cast<std::uint8_t>(item::FirstChannelHumidity + channel);
        const LiveValues values = Decoded({temp, 0x00, 0x7B, humidity, 0x3C}, &channels);
        EXPECT_TRUE(channels);
        EXPECT_EQ(values.ChTemp[channel], 123);
        EXPECT_EQ(values.ChHumidity[channel], 60);
    }
}

TEST(DecodeLiveTest, RecordWithOnlyAChannelHumiditySetsChannelsPresent)
{
    bool channels = false;
    Decoded({0x22, 0x30}, &channels);
    EXPECT_TRUE(channels);
    Decoded({0x01, 0x00, 0x10}, &channels);
    EXPECT_FALSE(channels);
}

TEST(DecodeLiveTest, RecordStartingWithAnUnknownCodeLeavesEverythingMissing)
{
    LiveValues reset;
    ResetLiveValues(reset);
    for (std::uint8_t code : {0x00, 0x05, 0x2B, 0x2D, 0xFF})
        EXPECT_EQ(Decoded({code, 0x01, 0x00, 0xFA}), reset) << int(code);
}

TEST(DecodeLiveTest, ResetKeepsTheUnitCodes)
{
    LiveValues values;
    values.units = {1, 2, 3, 1, 2};
    values.IndoorTemp = 5;
    ResetLiveValues(values);
    EXPECT_EQ(values.units, (UnitCodes{1, 2, 3, 1, 2}));
    EXPECT_EQ(values.IndoorTemp, 0xFFFF);
    EXPECT_EQ(values.DewPointTemp, 0x7FFF);
    EXPECT_EQ(values.RainRate, -1);
    EXPECT_EQ(values.SolarRadiation, 0x00FFFFFF);
}

// Random records in buffers of their exact size: under AddressSanitizer any
// read past the record fails the test. In every build, channels can only be
// reported present when the record holds a channel code at all.
TEST(DecodeLiveTest, RandomRecordsNeverReadPastTheirEnd)
{
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> length(0, 130);
    std::uniform_int_distribution<int> byte(0, 0x2D);  // mostly known codes, so decoding goes deep
    for (int round = 0; round < 20000; ++round) {
        std::vector<std::uint8_t> record(static_cast<std::size_t>(length(random)));
        for (auto& b : record)
            b = static_cast<std::uint8_t>(byte(random));
        LiveValues values;
        ResetLiveValues(values);
        const bool channels = DecodeLive(record, values);
        if (channels) {
            EXPECT_TRUE(std::any_of(record.begin(), record.end(), IsChannelItem));
        }
    }
}

}  // namespace
}  // namespace vorelle
