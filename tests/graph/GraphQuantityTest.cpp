#include "graph/GraphQuantity.h"

#include <gtest/gtest.h>

namespace vorelle {
namespace {

std::vector<std::string_view> Names(RecordingLayout layout)
{
    std::vector<std::string_view> names;
    for (const GraphQuantity quantity : QuantitiesFor(layout))
        names.push_back(QuantityName(quantity));
    return names;
}

TEST(GraphQuantityTest, EachRecordingOffersItsOwnQuantities)
{
    using V = std::vector<std::string_view>;
    EXPECT_EQ(Names(RecordingLayout::Main),
              (V{"Temperature", "Humidity", "Pressure", "Wind", "Rain fall", "Solar Radiation", "UV-Index"}));
    EXPECT_EQ(Names(RecordingLayout::Channel), (V{"Temperature", "Humidity"}));
    EXPECT_EQ(Names(RecordingLayout::Soil), (V{"Soil moisture"}));
    for (const GraphQuantity quantity : QuantitiesFor(RecordingLayout::Main))
        EXPECT_EQ(QuantityNamed(QuantityName(quantity)), quantity);
    EXPECT_EQ(QuantityNamed("Soil moisture"), GraphQuantity::SoilMoisture);
    EXPECT_EQ(QuantityNamed("rain fall"), std::nullopt);
}

// Per quantity and recording: the columns drawn, the legend entries of
// Series1 to Series4, the titles set, and the left axis.
TEST(GraphQuantityTest, PlansFollowTheQuantityTable)
{
    const UnitLabels labels{"(°C)", "(hPa)", "(mm)", "(m/s)", "(lux)"};
    constexpr auto S = LegendEntry::Shown;
    constexpr auto H = LegendEntry::Hidden;
    constexpr auto U = LegendEntry::Unchanged;
    struct Case {
        GraphQuantity quantity;
        RecordingLayout layout;
        std::array<std::string_view, 4> columns;
        std::array<LegendEntry, 4> legend;  // Series1 to Series4
        std::array<std::optional<std::string_view>, 4> titles;  // Series0 to Series3
        std::string axisTitle;
        AxisScaling scaling;
    };
    const Case cases[] = {
        {GraphQuantity::Temperature, RecordingLayout::Main, {"InTemp", "OutTemp", "DewPoint", "WindChill"}, {S, S, S, H},
         {"Indoor Temperature", "Outdoor Temperature", "Dew Point", "Feels Like"}, "(°C)", AxisScaling::Automatic},
        {GraphQuantity::Temperature, RecordingLayout::Channel, {"InTemp", "", "DewPoint", "WindChill"}, {H, S, S, H},
         {"Indoor Temperature", "Outdoor Temperature", "Dew Point", "Feels Like"}, "(°C)", AxisScaling::Automatic},
        {GraphQuantity::Humidity, RecordingLayout::Channel, {"InHumi", "", "", ""}, {H, H, H, H},
         {"Indoor Humidity", "Outdoor Humidity", std::nullopt, std::nullopt}, " (%)", AxisScaling::Automatic},
        {GraphQuantity::Pressure, RecordingLayout::Main, {"RelPressure", "AbsPressure", "", ""}, {S, H, H, H},
         {"Relative Barometer", "Absolute Barometer", std::nullopt, std::nullopt}, "(hPa)", AxisScaling::Automatic},
        {GraphQuantity::Wind, RecordingLayout::Main, {"Wind", "Gust", "", ""}, {S, H, H, H},
         {"Wind Speed", "Gust Speed", std::nullopt, std::nullopt}, "(m/s)", AxisScaling::Automatic},
        {GraphQuantity::RainFall, RecordingLayout::Main, {"RainDay", "RainWeek", "RainMonth", "RainYear"}, {S, S, S, U},
         {"Daily Rainfall", "Weekly Rainfall", "Monthly Rainfall", "Annual Rainfall"}, "(mm)", AxisScaling::RainTotals},
        {GraphQuantity::SolarRadiation, RecordingLayout::Main, {"Light", "", "", ""}, {H, H, H, H},
         {"Solar Radiation", " ", std::nullopt, std::nullopt}, "(lux)", AxisScaling::Light},
        {GraphQuantity::UvIndex, RecordingLayout::Main, {"UV", "", "", ""}, {H, H, H, H},
         {"UV-Index", " ", std::nullopt, std::nullopt}, "  ", AxisScaling::Automatic},
        {GraphQuantity::SoilMoisture, RecordingLayout::Soil, {"InHumi", "", "", ""}, {H, H, H, H},
         {"Soil moisture", "Outdoor Humidity", std::nullopt, std::nullopt}, " (%)", AxisScaling::Automatic},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(QuantityName(c.quantity)) + (c.layout == RecordingLayout::Channel ? " CH" : ""));
        const GraphPlan plan = PlanFor(c.quantity, c.layout, labels);
        EXPECT_EQ(plan.chartTitle, QuantityName(c.quantity));
        EXPECT_EQ(plan.series[0].legend, S);
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(plan.series[i].column, c.columns[i]) << i;
            EXPECT_EQ(plan.series[i + 1].legend, c.legend[i]) << i + 1;
            EXPECT_EQ(plan.series[i].title, c.titles[i]) << i;
        }
        EXPECT_EQ(plan.series[4].column, "") << "Series4 never gets data";
        EXPECT_EQ(plan.axisTitle, c.axisTitle);
        EXPECT_EQ(plan.scaling, c.scaling);
    }
}

}  // namespace
}  // namespace vorelle
