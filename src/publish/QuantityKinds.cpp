#include "publish/QuantityKinds.h"

#include "units/Formatters.h"

#include <array>
#include <utility>

namespace vorelle {

namespace {

constexpr std::string_view kMeasurement = "measurement";

constexpr std::array<std::pair<std::string_view, QuantityKind>, 20> kQuantityKinds{{
    {"IndoorTemp", QuantityKind::Temperature},
    {"IndoorHumidity", QuantityKind::Humidity},
    {"OutdoorTemp", QuantityKind::Temperature},
    {"OutdoorHumidity", QuantityKind::Humidity},
    {"AbsBarometer", QuantityKind::Pressure},
    {"RelBarometer", QuantityKind::Pressure},
    {"WindSpeed", QuantityKind::WindSpeed},
    {"GustSpeed", QuantityKind::WindSpeed},
    {"DewPointTemp", QuantityKind::Temperature},
    {"FeelsLikeTemp", QuantityKind::Temperature},
    {"RainRate", QuantityKind::RainRate},
    {"RainToday", QuantityKind::RainTotal},
    {"RainThisWeek", QuantityKind::RainTotal},
    {"RainThisMonth", QuantityKind::RainTotal},
    {"RainThisYear", QuantityKind::RainTotal},
    {"SolarRadiation", QuantityKind::Light},
    {"UvIndex", QuantityKind::UvIndex},
    {"Soil", QuantityKind::SoilMoisture},
    {"Pm25", QuantityKind::Pm25},
    {"WindDir", QuantityKind::WindDirection},
}};

// "ChTemp1" to "ChTemp8", "ChHumidity1" to "ChHumidity8".
bool IsChannelKey(std::string_view key, std::string_view stem)
{
    return key.size() == stem.size() + 1 && key.starts_with(stem) && key.back() >= '1' &&
           key.back() < '1' + kChannelCount;
}

std::string_view HomeAssistantWindUnit(std::uint8_t code)
{
    switch (code) {
    case kWindKmPerHour: return "km/h";
    case kWindBeaufort: return "Beaufort";
    case kWindMph: return "mph";
    case kWindKnot: return "kn";
    case kWindMetresPerSecond: return "m/s";
    default: return "ft/s";
    }
}

SensorDescription LightSensor(std::uint8_t code)
{
    switch (code) {
    case kLightLux: return {"illuminance", "lx", kMeasurement};
    case kLightFootCandles: return {"", "fc", kMeasurement};
    default: return {"irradiance", "W/m\u00B2", kMeasurement};
    }
}

}  // namespace

std::optional<QuantityKind> KindOf(std::string_view key)
{
    for (const auto& [name, kind] : kQuantityKinds)
        if (name == key)
            return kind;
    if (IsChannelKey(key, "ChTemp"))
        return QuantityKind::Temperature;
    if (IsChannelKey(key, "ChHumidity"))
        return QuantityKind::Humidity;
    return std::nullopt;
}

SensorDescription DescribeSensor(QuantityKind kind, const UnitCodes& units)
{
    const bool millimetres = units.rain == kRainMillimetres;
    switch (kind) {
    case QuantityKind::Temperature: return {"temperature", TemperatureUnitName(units.temperature), kMeasurement};
    case QuantityKind::Humidity: return {"humidity", "%", kMeasurement};
    case QuantityKind::Pressure: return {"atmospheric_pressure", PressureUnitName(units.pressure), kMeasurement};
    case QuantityKind::WindSpeed: return {"wind_speed", HomeAssistantWindUnit(units.wind), kMeasurement};
    // A mean of directions means nothing (359° and 1° are not 180°), so no
    // statistics; and no device class, which older Home Assistants refuse.
    case QuantityKind::WindDirection: return {"", "\u00B0", ""};
    case QuantityKind::RainRate: return {"precipitation_intensity", millimetres ? "mm/h" : "in/h", kMeasurement};
    // A total that drops to 0 when its day, week, month or year begins: Home
    // Assistant counts every drop as a new start.
    case QuantityKind::RainTotal: return {"precipitation", millimetres ? "mm" : "in", "total_increasing"};
    case QuantityKind::Light: return LightSensor(units.light);
    case QuantityKind::UvIndex: return {"", "UV index", kMeasurement};
    case QuantityKind::SoilMoisture: return {"moisture", "%", kMeasurement};
    case QuantityKind::Pm25: return {"pm25", "\u00B5g/m\u00B3", kMeasurement};
    }
    return {};
}

}  // namespace vorelle
