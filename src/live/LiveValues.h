#pragma once

#include "items/ItemTable.h"

#include <array>
#include <cstdint>

namespace vorelle {

// The display units the console reports in bytes 2 to 6 of its settings block.
struct UnitCodes {
    std::uint8_t temperature = 0;
    std::uint8_t pressure = 0;
    std::uint8_t wind = 0;
    std::uint8_t rain = 0;
    std::uint8_t light = 0;

    friend bool operator==(const UnitCodes&, const UnitCodes&) = default;
};

inline constexpr int kChannelCount = item::kChannels;

// The console's current readings in its own units (tenths of °C, hPa, m/s,
// mm and lux; whole percent). A field the record does not carry holds its
// missing marker.
struct LiveValues {
    std::int32_t IndoorTemp = 0;
    std::int32_t OutdoorTemp = 0;
    std::int32_t IndoorHumidity = 0;
    std::int32_t OutdoorHumidity = 0;
    std::int32_t DewPointTemp = 0;
    std::int32_t ExtraTemp04 = 0;
    std::int32_t FeelsLikeTemp = 0;
    std::int32_t AbsBarometer = 0;
    std::int32_t RelBarometer = 0;
    std::int32_t WindSpeed = 0;
    std::int32_t GustSpeed = 0;
    std::int32_t WindDir = 0;
    std::int32_t SolarRadiation = 0;
    std::int32_t Extra22 = 0;
    std::int32_t UvIndex = 0;
    std::int32_t ExtraRain15 = 0;
    std::int32_t RainToday = 0;
    std::int32_t RainThisWeek = 0;
    std::int32_t RainThisMonth = 0;
    std::int32_t RainThisYear = 0;
    std::int32_t ExtraRain20 = 0;
    std::int32_t ExtraRain13 = 0;
    std::int32_t RainRate = 0;
    std::int32_t Soil = 0;
    std::int32_t Pm25 = 0;
    std::array<std::int32_t, kChannelCount> ChTemp{};
    std::array<std::int32_t, kChannelCount> ChHumidity{};
    UnitCodes units;

    friend bool operator==(const LiveValues&, const LiveValues&) = default;
};

// Sets every reading to its missing marker; the unit codes are kept.
void ResetLiveValues(LiveValues& values);

}  // namespace vorelle
