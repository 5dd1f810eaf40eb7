#include "graph/GraphQuantity.h"

namespace vorelle {

namespace {

constexpr std::array<std::string_view, 8> kNames = {
    "Temperature", "Humidity", "Pressure", "Wind", "Rain fall", "Solar Radiation", "UV-Index", "Soil moisture",
};

SeriesPlan Drawn(std::string_view column, std::string_view title) { return {column, title, LegendEntry::Shown}; }
SeriesPlan Hidden() { return {{}, std::nullopt, LegendEntry::Hidden}; }
SeriesPlan HiddenTitled(std::string_view title) { return {{}, title, LegendEntry::Hidden}; }

}  // namespace

std::string_view QuantityName(GraphQuantity quantity) { return kNames[static_cast<std::size_t>(quantity)]; }

std::optional<GraphQuantity> QuantityNamed(std::string_view name)
{
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (kNames[i] == name)
            return static_cast<GraphQuantity>(i);
    }
    return std::nullopt;
}

std::vector<GraphQuantity> QuantitiesFor(RecordingLayout layout)
{
    switch (layout) {
    case RecordingLayout::Channel: return {GraphQuantity::Temperature, GraphQuantity::Humidity};
    case RecordingLayout::Soil: return {GraphQuantity::SoilMoisture};
    case RecordingLayout::Main: break;
    }
    return {GraphQuantity::Temperature, GraphQuantity::Humidity,       GraphQuantity::Pressure, GraphQuantity::Wind,
            GraphQuantity::RainFall,    GraphQuantity::SolarRadiation, GraphQuantity::UvIndex};
}

GraphPlan PlanFor(GraphQuantity quantity, RecordingLayout layout, const UnitLabels& labels)
{
    const bool channel = layout == RecordingLayout::Channel;
    // A channel recording has no outdoor sensor: its second curve stays away.
    const auto outdoor = [channel](std::string_view column, std::string_view title) {
        return channel ? HiddenTitled(title) : Drawn(column, title);
    };
    GraphPlan plan;
    plan.chartTitle = QuantityName(quantity);
    auto& s = plan.series;
    s[4] = Hidden();
    switch (quantity) {
    case GraphQuantity::Temperature:
        s[0] = Drawn("InTemp", "Indoor Temperature");
        s[1] = outdoor("OutTemp", "Outdoor Temperature");
        s[2] = Drawn("DewPoint", "Dew Point");
        s[3] = Drawn("WindChill", "Feels Like");
        plan.axisTitle = labels.temperature;
        break;
    case GraphQuantity::Humidity:
        s[0] = Drawn("InHumi", "Indoor Humidity");
        s[1] = outdoor("OutHumi", "Outdoor Humidity");
        s[2] = s[3] = Hidden();
        plan.axisTitle = " (%)";
        break;
    case GraphQuantity::Pressure:
        s[0] = Drawn("RelPressure", "Relative Barometer");
        s[1] = Drawn("AbsPressure", "Absolute Barometer");
        s[2] = s[3] = Hidden();
        plan.axisTitle = labels.pressure;
        break;
    case GraphQuantity::Wind:
        s[0] = Drawn("Wind", "Wind Speed");
        s[1] = Drawn("Gust", "Gust Speed");
        s[2] = s[3] = Hidden();
        plan.axisTitle = labels.wind;
        break;
    case GraphQuantity::RainFall:
        s[0] = Drawn("RainDay", "Daily Rainfall");
        s[1] = Drawn("RainWeek", "Weekly Rainfall");
        s[2] = Drawn("RainMonth", "Monthly Rainfall");
        s[3] = Drawn("RainYear", "Annual Rainfall");
        s[4] = {};
        plan.axisTitle = labels.rain;
        plan.scaling = AxisScaling::RainTotals;
        break;
    case GraphQuantity::SolarRadiation:
        s[0] = Drawn("Light", "Solar Radiation");
        s[1] = HiddenTitled(" ");
        s[2] = s[3] = Hidden();
        plan.axisTitle = labels.light;
        plan.scaling = AxisScaling::Light;
        break;
    case GraphQuantity::UvIndex:
        s[0] = Drawn("UV", "UV-Index");
        s[1] = HiddenTitled(" ");
        s[2] = s[3] = Hidden();
        plan.axisTitle = "  ";
        break;
    case GraphQuantity::SoilMoisture:
        s[0] = Drawn("InHumi", "Soil moisture");
        s[1] = HiddenTitled("Outdoor Humidity");
        s[2] = s[3] = Hidden();
        plan.axisTitle = " (%)";
        break;
    }
    return plan;
}

}  // namespace vorelle
