#include "live/LiveDecoder.h"
#include "live/LiveItems.h"
#include "sim/LiveRecordEncoder.h"
#include "sim/SimWeather.h"
#include "support/LocalClock.h"

#include <gtest/gtest.h>

namespace vorelle {
namespace {

using test::LocalClock;

TEST(SimWeatherTest, AfternoonIsWarmerThanDawnAndDewPointStaysBelow)
{
    for (int day = 1; day <= 28; day += 3) {
        SimWeather weather;
        const LiveValues dawn = weather.Read(LocalClock(2026, 7, day, 5));
        const LiveValues afternoon = weather.Read(LocalClock(2026, 7, day, 15));
        EXPECT_GT(afternoon.OutdoorTemp, dawn.OutdoorTemp + 40) << "day " << day;
        for (const LiveValues& v : {dawn, afternoon}) {
            EXPECT_LE(v.DewPointTemp, v.OutdoorTemp);
            EXPECT_GE(v.OutdoorHumidity, 15);
            EXPECT_LE(v.OutdoorHumidity, 99);
        }
    }
}

TEST(SimWeatherTest, WinterIsColderThanSummer)
{
    SimWeather weather;
    EXPECT_LT(weather.Read(LocalClock(2026, 1, 15, 14)).OutdoorTemp, weather.Read(LocalClock(2026, 7, 15, 14)).OutdoorTemp);
}

TEST(SimWeatherTest, GustsAreAboveTheMeanWindAndDirectionIsACompassBearing)
{
    SimWeather weather;
    for (int minute = 0; minute < 24 * 60; minute += 7) {
        const LiveValues v = weather.Read(LocalClock(2026, 3, 10, minute / 60, minute % 60));
        EXPECT_GT(v.GustSpeed, v.WindSpeed);
        EXPECT_GE(v.WindDir, 0);
        EXPECT_LT(v.WindDir, 360);
    }
}

TEST(SimWeatherTest, LightAndUvFollowTheSun)
{
    SimWeather weather;
    const LiveValues night = weather.Read(LocalClock(2026, 6, 20, 1));
    const LiveValues noon = weather.Read(LocalClock(2026, 6, 20, 13));
    EXPECT_EQ(night.SolarRadiation, 0);
    EXPECT_EQ(night.UvIndex, 0);
    EXPECT_GT(noon.SolarRadiation, 100000);  // above 10 000 lux
    EXPECT_GT(noon.UvIndex, 0);
}

TEST(SimWeatherTest, ShowersRaiseEveryRainTotal)
{
    // Over two days some hours rain; the totals only ever grow within a day.
    SimWeather weather;
    LiveValues previous = weather.Read(LocalClock(2026, 5, 12, 0, 1));
    bool rained = false;
    for (int minute = 2; minute < 23 * 60; minute += 1) {
        const LiveValues v = weather.Read(LocalClock(2026, 5, 12, minute / 60, minute % 60));
        EXPECT_GE(v.RainToday, previous.RainToday);
        EXPECT_GE(v.RainThisYear, previous.RainThisYear);
        if (v.RainRate > 0)
            rained = true;
        previous = v;
    }
    EXPECT_TRUE(rained);
    EXPECT_GT(previous.RainToday, 0);
    EXPECT_GE(previous.RainThisWeek, previous.RainToday);
    EXPECT_GE(previous.RainThisMonth, previous.RainThisWeek);
    EXPECT_GE(previous.RainThisYear, previous.RainThisMonth);
}

TEST(SimWeatherTest, SampleDependsOnTheTimeAloneAndRainFallenIsTheRateSummedUp)
{
    SimWeather fresh;
    SimWeather used;
    used.SetRainTotals(10, 20, 30, 40);
    const auto start = LocalClock(2026, 5, 12, 0, 0);
    double summed = 0.0;
    for (int minute = 0; minute < 24 * 60; ++minute) {
        const auto t = start + std::chrono::minutes(minute);
        used.Read(t);
        EXPECT_EQ(fresh.Sample(t), used.Sample(t)) << minute;
        summed += fresh.Sample(t + std::chrono::seconds(30)).RainRate / 10.0 / 60.0;
    }
    const double fallen = SimWeather::RainFallen(start, start + std::chrono::hours(24));
    EXPECT_GT(fallen, 1.0) << "a day with showers";
    EXPECT_NEAR(fallen, summed, 0.02 * fallen + 0.05);
    EXPECT_DOUBLE_EQ(SimWeather::RainFallen(start, start + std::chrono::hours(5)) +
                         SimWeather::RainFallen(start + std::chrono::hours(5), start + std::chrono::hours(24)),
                     fallen);
}

TEST(SimWeatherTest, DayTotalStartsAgainAtMidnight)
{
    SimWeather weather;
    weather.SetRainTotals(55, 120, 480, 6000);
    weather.Read(LocalClock(2026, 5, 12, 23, 58));
    const LiveValues nextDay = weather.Read(LocalClock(2026, 5, 13, 0, 1));
    EXPECT_LE(nextDay.RainToday, 1);
    EXPECT_GE(nextDay.RainThisYear, 6000);
}

TEST(SimWeatherTest, OptionalSensorsAndMissingSensors)
{
    SimWeather weather;
    const auto now = LocalClock(2026, 9, 1, 12);
    LiveValues v = weather.Read(now);
    EXPECT_EQ(v.Soil, 0xFFFF);
    EXPECT_EQ(v.Pm25, 0xFFFF);
    EXPECT_EQ(v.ChTemp[0], 0xFFFF);

    weather.SetSoilSensor(true);
    weather.SetPm25Sensor(true);
    weather.SetChannelCount(2);
    weather.SetMissing(item::OutdoorTemp, true);
    v = weather.Read(now);
    EXPECT_NE(v.Soil, 0xFFFF);
    EXPECT_NE(v.Pm25, 0xFFFF);
    EXPECT_NE(v.ChTemp[1], 0xFFFF);
    EXPECT_EQ(v.ChTemp[2], 0xFFFF);
    EXPECT_EQ(v.OutdoorTemp, 0xFFFF);
}

// What the console encodes, the program decodes to the same values.
TEST(SimWeatherTest, EncodedRecordDecodesToTheSameReadings)
{
    SimWeather weather;
    weather.SetChannelCount(8);
    weather.SetSoilSensor(true);
    weather.SetPm25Sensor(true);
    weather.SetMissing(item::GustSpeed, true);
    weather.SetMissing(item::RainThisMonth, true);
    const auto now = LocalClock(2026, 8, 3, 16, 20);
    const LiveValues sent = weather.Read(now);
    const std::vector<std::uint8_t> record = EncodeLiveRecord(sent, LiveRecordItems(8, true, true), now);
    EXPECT_LE(record.size(), 124u) << "must fit two reports";

    LiveValues received;
    ResetLiveValues(received);
    EXPECT_TRUE(DecodeLive(record, received));
    EXPECT_EQ(received.OutdoorTemp, sent.OutdoorTemp);
    EXPECT_EQ(received.DewPointTemp, sent.DewPointTemp);
    EXPECT_EQ(received.RelBarometer, sent.RelBarometer);
    EXPECT_EQ(received.WindDir, sent.WindDir);
    EXPECT_EQ(received.GustSpeed, 0xFFFF);
    EXPECT_EQ(received.RainThisMonth, -1);
    EXPECT_EQ(received.RainThisYear, sent.RainThisYear);
    EXPECT_EQ(received.SolarRadiation, sent.SolarRadiation);
    EXPECT_EQ(received.ChTemp, sent.ChTemp);
    EXPECT_EQ(received.ChHumidity, sent.ChHumidity);
    EXPECT_EQ(received.Soil, sent.Soil);
    EXPECT_EQ(received.Pm25, sent.Pm25);
}

}  // namespace
}  // namespace vorelle
