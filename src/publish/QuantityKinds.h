#pragma once

#include "live/LiveValues.h"

#include <optional>
#include <string_view>

namespace vorelle {

// What a quantity of the board measures, as a home-automation system needs to
// know it.
enum class QuantityKind {
    Temperature,
    Humidity,
    Pressure,
    WindSpeed,
    WindDirection,
    RainRate,
    RainTotal,  // today's, this week's, month's, year's: each starts again from 0
    Light,
    UvIndex,
    SoilMoisture,
    Pm25,
};

// The kind of the quantity QuantityReadings names `key` ("OutdoorTemp",
// "ChHumidity3"); none for a key it does not give.
std::optional<QuantityKind> KindOf(std::string_view key);

// How Home Assistant describes a sensor of this kind in the console's display
// units, in its own spellings ("kn", "lx", "W/m²"). An empty device class
// means Home Assistant has none for that unit; an empty state class keeps the
// quantity out of its long-term statistics.
struct SensorDescription {
    std::string_view deviceClass;
    std::string_view unit;
    std::string_view stateClass;
};

SensorDescription DescribeSensor(QuantityKind kind, const UnitCodes& units);

}  // namespace vorelle
