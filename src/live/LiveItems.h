#pragma once

#include "live/LiveValues.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace vorelle {

// How an item's value is coded after its code byte (big-endian throughout).
enum class ItemKind {
    Temperature,   // T: signed 16-bit, missing 7F FF
    Signed16,      // S: signed 16-bit, missing FF FF
    Unsigned16,    // U: unsigned 16-bit, missing FF FF
    Rain16,        // R: unsigned 16-bit, missing FF FF
    Byte,          // B: unsigned 8-bit, missing FF
    Rain32,        // L: unsigned 32-bit, missing FF FF FF FF
    Light,         // X: unsigned 32-bit, missing 00 FF FF FF
    DateTime,      // D: year (2), month, day, hour, minute, second
};

// Item codes of the live record; settings blocks and write commands share them.
namespace item {
inline constexpr std::uint8_t IndoorTemp = 0x01;
inline constexpr std::uint8_t OutdoorTemp = 0x02;
inline constexpr std::uint8_t DewPoint = 0x03;
inline constexpr std::uint8_t ExtraTemp04 = 0x04;
inline constexpr std::uint8_t IndoorHumidity = 0x06;
inline constexpr std::uint8_t OutdoorHumidity = 0x07;
inline constexpr std::uint8_t AbsBarometer = 0x08;
inline constexpr std::uint8_t RelBarometer = 0x09;
inline constexpr std::uint8_t WindDir = 0x0A;
inline constexpr std::uint8_t WindSpeed = 0x0B;
inline constexpr std::uint8_t GustSpeed = 0x0C;
inline constexpr std::uint8_t ExtraRain13 = 0x0D;
inline constexpr std::uint8_t RainRate = 0x0E;
inline constexpr std::uint8_t ExtraRain15 = 0x0F;
inline constexpr std::uint8_t RainToday = 0x10;
inline constexpr std::uint8_t RainThisWeek = 0x11;
inline constexpr std::uint8_t RainThisMonth = 0x12;
inline constexpr std::uint8_t RainThisYear = 0x13;
inline constexpr std::uint8_t ExtraRain20 = 0x14;
inline constexpr std::uint8_t SolarRadiation = 0x15;
inline constexpr std::uint8_t Extra22 = 0x16;
inline constexpr std::uint8_t UvIndex = 0x17;
inline constexpr std::uint8_t DateTime = 0x18;
inline constexpr std::uint8_t FeelsLike = 0x19;
inline constexpr std::uint8_t FirstChannelTemp = 0x1A;   // channels 1 to 8: 0x1A to 0x21
inline constexpr std::uint8_t FirstChannelHumidity = 0x22;  // channels 1 to 8: 0x22 to 0x29
inline constexpr std::uint8_t Pm25 = 0x2A;
inline constexpr std::uint8_t Soil = 0x2C;
}  // namespace item

// The kind of a known item code; nothing for a code that ends a record.
std::optional<ItemKind> KindOfItem(std::uint8_t code);
// Number of value bytes after the code byte.
std::size_t ValueSize(ItemKind kind);
// The field of `values` that an item fills; null for the date-and-time item.
std::int32_t* FieldOfItem(LiveValues& values, std::uint8_t code);
bool IsChannelItem(std::uint8_t code);

}  // namespace vorelle
