#include "board/BoardTexts.h"
#include "publish/Discovery.h"
#include "publish/QuantityKinds.h"
#include "support/CliRun.h"
#include "support/NamedCase.h"
#include "support/SimulatedReading.h"
#include "units/NumberText.h"

#include <gtest/gtest.h>

namespace vorelle {
namespace {

using test::SimulatedReading;

const UnitCodes kMetricDisplay{0, 2, 0, 0, 0};
const UnitCodes kImperialDisplay{1, 0, 3, 1, 2};

TEST(ReadingJsonTest, LiveJsonIsWhatTheCommandPrintsAndFollowKeepsItsQuantities)
{
    const TimedReading reading = SimulatedReading(kImperialDisplay);
    const test::CliRun run =
        test::RunCli("live --simulate --json --units 1,0,3,1,2 --channels 2 --clock " + std::string(test::kStandingClock));
    ASSERT_EQ(run.status, 0);
    const std::string live = LiveJson(reading.snapshot, true);
    EXPECT_EQ(live, run.output);

    const std::string line = FollowJsonLine(reading);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    EXPECT_TRUE(line.starts_with("{\"time\": \"2026-05-12T10:30:00Z\", \"units\": {\"temperature\": 1,")) << line;
    for (std::size_t at = live.find("\n    \""); at != std::string::npos; at = live.find("\n    \"", at + 1)) {
        std::string quantity = live.substr(at + 5, live.find('\n', at + 1) - at - 5);
        if (quantity.ends_with(','))
            quantity.pop_back();
        EXPECT_NE(line.find(quantity), std::string::npos) << quantity;
    }
}

class StateJsonTest : public ::testing::TestWithParam<UnitCodes> {};

// Each value is the number the board shows (light in whole units where the
// board shows thousands), or null for a missing one.
TEST_P(StateJsonTest, ValuesAreTheBoardsNumbersOrNull)
{
    const TimedReading reading = SimulatedReading(GetParam());
    const std::string state = StateJson(reading);
    EXPECT_TRUE(state.starts_with("{\"time\": \"2026-05-12T10:30:00Z\", \"units\": {\"temperature\": \"")) << state;
    EXPECT_NE(state.find("\"Pm25\": null"), std::string::npos) << "the simulated console has no PM2.5 sensor";
    for (const QuantityReading& q : QuantityReadings(reading.snapshot)) {
        const std::string field = "\"" + std::string(q.key) + "\": ";
        ASSERT_NE(state.find(field), std::string::npos) << q.key;
        const std::string_view value = std::string_view(state).substr(state.find(field) + field.size());
        const bool thousands = q.text.find(" k ") != std::string::npos;
        if (q.missing)
            EXPECT_TRUE(value.starts_with("null")) << q.key;
        else
            EXPECT_NEAR(ReadLeadingNumber(value), ReadLeadingNumber(q.text) * (thousands ? 1000 : 1), thousands ? 50 : 0)
                << q.key << ": " << q.text;
    }
}

INSTANTIATE_TEST_SUITE_P(UnitSystems, StateJsonTest, ::testing::Values(kMetricDisplay, kImperialDisplay));

struct SensorCase : test::NamedCase {
    UnitCodes units;
    const char* key;
    const char* expected;  // what the announcement says of the sensor
};

class DiscoveryTest : public ::testing::TestWithParam<SensorCase> {};

TEST_P(DiscoveryTest, AnnouncesClassAndUnitOfTheConsolesDisplayUnits)
{
    const SensorCase c = GetParam();
    const PublishedDevice device{"vorelle2_x", "Station", "M402", ""};
    const MqttMessage m = DiscoveryMessage(c.key, "Name", c.units, device, TopicsFor("weather", device));
    EXPECT_EQ(m.topic, "homeassistant/sensor/vorelle2_x/" + std::string(c.key) + "/config");
    EXPECT_NE(m.payload.find(c.expected), std::string::npos) << m.payload;
    EXPECT_NE(m.payload.find("\"value_template\": \"{{ value_json.readings." + std::string(c.key) + " }}\", "
                             "\"state_topic\": \"weather/vorelle2_x/state\", "
                             "\"availability_topic\": \"weather/vorelle2_x/availability\"}"),
              std::string::npos);
    EXPECT_EQ(m.payload.find("sw_version\": \"\""), std::string::npos) << "an unknown firmware is left out";
}

INSTANTIATE_TEST_SUITE_P(
    Sensors, DiscoveryTest,
    ::testing::Values(
        SensorCase{"OutdoorTempCelsius", kMetricDisplay, "OutdoorTemp", "\"device_class\": \"temperature\", \"unit_of_measurement\": \"\u00B0C\", \"state_class\": \"measurement\""},
        SensorCase{"ChTemp2Fahrenheit", kImperialDisplay, "ChTemp2", "\"unit_of_measurement\": \"\u00B0F\""},
        SensorCase{"ChHumidity8", kMetricDisplay, "ChHumidity8", "\"device_class\": \"humidity\", \"unit_of_measurement\": \"%\""},
        SensorCase{"RelBarometerHpa", kMetricDisplay, "RelBarometer", "\"device_class\": \"atmospheric_pressure\", \"unit_of_measurement\": \"hPa\""},
        SensorCase{"AbsBarometerInHg", kImperialDisplay, "AbsBarometer", "\"unit_of_measurement\": \"inHg\""},
        SensorCase{"AbsBarometerMmHg", {0, 1, 4, 0, 1}, "AbsBarometer", "\"unit_of_measurement\": \"mmHg\""},
        SensorCase{"WindSpeedMetresPerSecond", kMetricDisplay, "WindSpeed", "\"device_class\": \"wind_speed\", \"unit_of_measurement\": \"m/s\""},
        SensorCase{"GustSpeedMph", kImperialDisplay, "GustSpeed", "\"unit_of_measurement\": \"mph\""},
        SensorCase{"WindSpeedKnots", {0, 1, 4, 0, 1}, "WindSpeed", "\"unit_of_measurement\": \"kn\""},
        SensorCase{"WindSpeedBeaufort", {0, 1, 2, 0, 1}, "WindSpeed", "\"unit_of_measurement\": \"Beaufort\""},
        SensorCase{"WindSpeedKmh", {0, 1, 1, 0, 1}, "WindSpeed", "\"unit_of_measurement\": \"km/h\""},
        SensorCase{"WindSpeedFeetPerSecond", {0, 1, 9, 0, 1}, "WindSpeed", "\"unit_of_measurement\": \"ft/s\""},
        SensorCase{"WindDirDegrees", kMetricDisplay, "WindDir", VORELLE2_VERSION "\"}, \"unit_of_measurement\": \"\u00B0\", \"value_template\""},
        SensorCase{"RainRateMmPerHour", kMetricDisplay, "RainRate", "\"device_class\": \"precipitation_intensity\", \"unit_of_measurement\": \"mm/h\", \"state_class\": \"measurement\""},
        SensorCase{"RainTodayInches", kImperialDisplay, "RainToday", "\"device_class\": \"precipitation\", \"unit_of_measurement\": \"in\", \"state_class\": \"total_increasing\""},
        SensorCase{"RainThisYearMm", kMetricDisplay, "RainThisYear", "\"unit_of_measurement\": \"mm\", \"state_class\": \"total_increasing\""},
        SensorCase{"SolarRadiationLux", kMetricDisplay, "SolarRadiation", "\"device_class\": \"illuminance\", \"unit_of_measurement\": \"lx\""},
        SensorCase{"SolarRadiationWattsPerSquareMetre", {0, 1, 4, 0, 1}, "SolarRadiation", "\"device_class\": \"irradiance\", \"unit_of_measurement\": \"W/m\u00B2\""},
        SensorCase{"SolarRadiationFootCandles", kImperialDisplay, "SolarRadiation", "\"model\": \"M402\"}, \"origin\": {\"name\": \"Vorelle 2\", \"sw_version\": \"" VORELLE2_VERSION "\"}, \"unit_of_measurement\": \"fc\""},
        SensorCase{"UvIndex", kMetricDisplay, "UvIndex", VORELLE2_VERSION "\"}, \"unit_of_measurement\": \"UV index\", \"state_class\": \"measurement\""},
        SensorCase{"Soil", kMetricDisplay, "Soil", "\"device_class\": \"moisture\", \"unit_of_measurement\": \"%\""},
        SensorCase{"Pm25", kMetricDisplay, "Pm25", "\"name\": \"Name\", \"unique_id\": \"vorelle2_x_Pm25\", \"device\": {\"identifiers\": [\"vorelle2_x\"], \"name\": \"Station\", \"manufacturer\": \"Vorelle\", \"model\": \"M402\"}, \"origin\": {\"name\": \"Vorelle 2\", \"sw_version\": \"" VORELLE2_VERSION "\"}, \"device_class\": \"pm25\", \"unit_of_measurement\": \"\u00B5g/m\u00B3\""}),
    test::CaseName{});

TEST(DeviceIdTest, KeepsLettersAndDigitsAndTellsApartWhatItLeavesOut)
{
    EXPECT_EQ(DeviceIdFrom("My-Host /dev/hidraw0").substr(0, 29), "vorelle2_my_host_dev_hidraw0_");
    EXPECT_NE(DeviceIdFrom("a.b"), DeviceIdFrom("a_b"));
    EXPECT_EQ(DeviceIdFrom(std::string(100, 'x')).size(), std::string("vorelle2_").size() + 32 + 1 + 8);
}

}  // namespace
}  // namespace vorelle
