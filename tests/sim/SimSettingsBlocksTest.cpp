#include "live/LiveDecoder.h"
#include "settings/MaxMinRecords.h"
#include "settings/RainTotals.h"
#include "settings/SettingsLinkFixture.h"

#include <gtest/gtest.h>

namespace vorelle {
namespace {

// What the max/min dialog is compared with: one quantity's records and the
// live reading it follows.
struct Followed {
    const char* name;
    MaxMinRecord MaxMinRecords::*record;
    std::int32_t LiveValues::*reading;
    bool hasMin;
    std::int32_t notSet;
};

constexpr Followed kFollowed[] = {
    {"indoor temperature", &MaxMinRecords::indoorTemp, &LiveValues::IndoorTemp, true, kMaxMinTemperatureNotSet},
    {"outdoor temperature", &MaxMinRecords::outdoorTemp, &LiveValues::OutdoorTemp, true, kMaxMinTemperatureNotSet},
    {"dew point", &MaxMinRecords::dewPoint, &LiveValues::DewPointTemp, true, kMaxMinTemperatureNotSet},
    {"indoor humidity", &MaxMinRecords::indoorHumidity, &LiveValues::IndoorHumidity, true, kMaxMinByteNotSet},
    {"outdoor humidity", &MaxMinRecords::outdoorHumidity, &LiveValues::OutdoorHumidity, true, kMaxMinByteNotSet},
    {"absolute pressure", &MaxMinRecords::absPressure, &LiveValues::AbsBarometer, true, kMaxMinWordNotSet},
    {"relative pressure", &MaxMinRecords::relPressure, &LiveValues::RelBarometer, true, kMaxMinWordNotSet},
    {"wind speed", &MaxMinRecords::windSpeed, &LiveValues::WindSpeed, false, kMaxMinWordNotSet},
    {"gust speed", &MaxMinRecords::gustSpeed, &LiveValues::GustSpeed, false, kMaxMinWordNotSet},
    {"light", &MaxMinRecords::light, &LiveValues::SolarRadiation, false, kMaxMinLightNotSet},
    {"UV index", &MaxMinRecords::uvIndex, &LiveValues::UvIndex, false, kMaxMinByteNotSet},
    {"feels like", &MaxMinRecords::feelsLike, &LiveValues::FeelsLikeTemp, false, kMaxMinTemperatureNotSet},
};

class SimSettingsBlocksTest : public test::SettingsLinkFixture {
protected:
    void SetUp() override
    {
        SettingsLinkFixture::SetUp();
        // A fixed clock: no rain falls between two readings.
        const auto noon = SimulatedConsole::Clock::from_time_t(1718445600);  // mid-June 2024
        console.SetClock([noon] { return noon; });
    }

    MaxMinRecords ReadMaxMin()
    {
        EXPECT_EQ(link.Exchange(MakeCommand(CMD_READ_MAXMIN), CMD_READ_MAXMIN), ExchangeResult::Answered);
        return DecodeMaxMin(link.Area().CopySlot(ReplyArea::kMaxMinSlot), {});
    }

    LiveValues ReadLive()
    {
        EXPECT_EQ(link.Exchange(MakeCommand(CMD_READ_LIVE), CMD_READ_LIVE), ExchangeResult::Answered);
        LiveValues values;
        ResetLiveValues(values);
        DecodeLive(link.Area().LiveRecord(), values);
        return values;
    }
};

TEST_F(SimSettingsBlocksTest, RecordsEncloseEveryReading)
{
    const MaxMinRecords before = ReadMaxMin();
    for (const Followed& f : kFollowed) {
        SCOPED_TRACE(f.name);
        EXPECT_TRUE((before.*f.record).present) << "the whole block fits one reply";
        if (f.hasMin) {
            EXPECT_LE((before.*f.record).min, (before.*f.record).max);
        }
    }
    const LiveValues reading = ReadLive();
    const MaxMinRecords after = ReadMaxMin();
    for (const Followed& f : kFollowed) {
        SCOPED_TRACE(f.name);
        EXPECT_GE((after.*f.record).max, reading.*f.reading);
        if (f.hasMin) {
            EXPECT_LE((after.*f.record).min, reading.*f.reading);
        }
    }
}

TEST_F(SimSettingsBlocksTest, ClearedRecordsStartAgainFromTheNextReading)
{
    ASSERT_TRUE(ClearMaxMin(link, flag, MaxMinClearBoxes::All()).ClosesDialog());
    const MaxMinRecords cleared = ReadMaxMin();
    for (const Followed& f : kFollowed) {
        SCOPED_TRACE(f.name);
        EXPECT_EQ((cleared.*f.record).max, f.notSet);
        if (f.hasMin) {
            EXPECT_EQ((cleared.*f.record).min, f.notSet);
        }
    }
    const LiveValues reading = ReadLive();
    const MaxMinRecords restarted = ReadMaxMin();
    for (const Followed& f : kFollowed) {
        SCOPED_TRACE(f.name);
        EXPECT_EQ((restarted.*f.record).max, reading.*f.reading);
        if (f.hasMin) {
            EXPECT_EQ((restarted.*f.record).min, reading.*f.reading);
        }
    }
}

TEST_F(SimSettingsBlocksTest, ClearTouchesOnlyTheTickedRecords)
{
    const MaxMinRecords before = ReadMaxMin();
    ASSERT_TRUE(ClearMaxMin(link, flag, {.windSpeed = true}).ClosesDialog());
    MaxMinRecords expected = before;
    expected.windSpeed.max = kMaxMinWordNotSet;
    EXPECT_EQ(ReadMaxMin(), expected);
}

TEST_F(SimSettingsBlocksTest, RainTotalsWriteSetsTheTotalsAndKeepsTheMissingOnes)
{
    const LiveValues before = ReadLive();
    ASSERT_TRUE(SaveRainTotals(link, flag, {250, std::nullopt, 65535, std::nullopt}).ClosesDialog());
    const LiveValues after = ReadLive();
    EXPECT_EQ(after.RainToday, 250);
    EXPECT_EQ(after.RainThisWeek, before.RainThisWeek);
    EXPECT_EQ(after.RainThisMonth, 65535) << "6553.5 mm is a total, not the missing mark";
    EXPECT_EQ(after.RainThisYear, before.RainThisYear);
}

}  // namespace
}  // namespace vorelle
