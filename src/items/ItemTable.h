#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>

namespace vorelle {

// The console's tagged items: a code byte, then the item's value, most
// significant byte first. The live record, the alarm, calibration and
// max/min blocks and the writes of alarms, calibration and rain totals share
// the codes; each block says what it carries after a code in terms of the
// item's value. This file is the one description of the items.

// How an item's value is coded after its code byte.
enum class ItemKind {
    Temperature,  // signed 16-bit, missing 7F FF
    Signed16,     // signed 16-bit, missing FF FF
    Unsigned16,   // unsigned 16-bit, missing FF FF
    Rain16,       // unsigned 16-bit, missing FF FF
    Byte,         // unsigned 8-bit, missing FF
    Rain32,       // unsigned 32-bit, missing FF FF FF FF
    Light,        // unsigned 32-bit, missing 00 FF FF FF
    DateTime,     // year (2 bytes), month, day, hour, minute, second
};

struct ValueCoding {
    std::size_t size;                            // value bytes after the code
    bool isSigned;                               // the live record reads it as two's complement
    std::optional<std::uint32_t> missingPattern;  // the bytes that carry no value
    std::int32_t missingReading;                 // what the live record reads those bytes as
    // The readings the value can carry; any other goes as the missing pattern.
    std::int64_t lowest;
    std::int64_t highest;
};

constexpr ValueCoding CodingOf(ItemKind kind)
{
    constexpr std::int64_t kInt32Lowest = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kInt32Highest = std::numeric_limits<std::int32_t>::max();
    switch (kind) {
    case ItemKind::Temperature:
        return {2, true, 0x7FFF, 0x7FFF, -0x8000, 0x7FFF};
    case ItemKind::Signed16:
        return {2, true, 0xFFFF, 0xFFFF, -0x8000, 0x7FFF};
    case ItemKind::Unsigned16:
        return {2, false, 0xFFFF, 0xFFFF, 0, 0xFFFF};
    case ItemKind::Rain16:
        return {2, false, 0xFFFF, -1, 0, 0xFFFF};
    case ItemKind::Byte:
        return {1, false, 0xFF, 0xFFFF, 0, 0xFF};
    case ItemKind::Rain32:
        // A reading holds all 32 bits (past 2^31 as a negative number).
        return {4, false, 0xFFFFFFFF, -1, kInt32Lowest, kInt32Highest};
    case ItemKind::Light:
        return {4, false, 0x00FFFFFF, 0x00FFFFFF, kInt32Lowest, kInt32Highest};
    case ItemKind::DateTime:
        break;
    }
    return {7, false, std::nullopt, 0, 0, 0};
}

constexpr std::size_t ValueSize(ItemKind kind) { return CodingOf(kind).size; }

// The missing pattern as a plain number, which is how the settings blocks
// keep a value the console has not set.
constexpr std::int32_t MissingPatternOf(ItemKind kind)
{
    return static_cast<std::int32_t>(CodingOf(kind).missingPattern.value_or(0));
}

// What an item's value measures, which says how a dialog shows and reads it.
enum class ItemQuantity {
    Temperature,    // tenths of °C
    Humidity,       // whole %
    Pressure,       // tenths of hPa
    WindDirection,  // degrees
    WindSpeed,      // tenths of m/s
    Rain,           // tenths of mm (per hour for the rain rate)
    Light,          // tenths of lux
    UvIndex,
    Pm25,           // tenths of µg/m³
    SoilMoisture,   // whole %
    Clock,
    Unknown,        // carried, never shown
};

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
inline constexpr int kChannels = 8;
inline constexpr std::uint8_t FirstChannelTemp = 0x1A;      // channels 1 to 8: 0x1A to 0x21
inline constexpr std::uint8_t FirstChannelHumidity = 0x22;  // channels 1 to 8: 0x22 to 0x29
inline constexpr std::uint8_t Pm25 = 0x2A;
inline constexpr std::uint8_t Soil = 0x2C;
}  // namespace item

// One item, or a run of `count` items from `code` (the channels).
struct ItemRow {
    std::uint8_t code;
    ItemKind kind;
    ItemQuantity quantity;
    std::int32_t unset;  // what the live readings hold before a record carries the item
    int count = 1;
};

// Every code the console uses; any other ends a block.
inline constexpr ItemRow kItemRows[] = {
    {item::IndoorTemp, ItemKind::Temperature, ItemQuantity::Temperature, 0xFFFF},
    {item::OutdoorTemp, ItemKind::Temperature, ItemQuantity::Temperature, 0xFFFF},
    {item::DewPoint, ItemKind::Temperature, ItemQuantity::Temperature, 0x7FFF},
    {item::ExtraTemp04, ItemKind::Temperature, ItemQuantity::Temperature, 0x7FFF},
    {item::IndoorHumidity, ItemKind::Byte, ItemQuantity::Humidity, 255},
    {item::OutdoorHumidity, ItemKind::Byte, ItemQuantity::Humidity, 255},
    {item::AbsBarometer, ItemKind::Signed16, ItemQuantity::Pressure, 0xFFFF},
    {item::RelBarometer, ItemKind::Signed16, ItemQuantity::Pressure, 0xFFFF},
    {item::WindDir, ItemKind::Signed16, ItemQuantity::WindDirection, 0xFFFF},
    {item::WindSpeed, ItemKind::Signed16, ItemQuantity::WindSpeed, 0xFFFF},
    {item::GustSpeed, ItemKind::Signed16, ItemQuantity::WindSpeed, 0xFFFF},
    {item::ExtraRain13, ItemKind::Rain16, ItemQuantity::Rain, -1},
    {item::RainRate, ItemKind::Rain16, ItemQuantity::Rain, -1},
    {item::ExtraRain15, ItemKind::Rain16, ItemQuantity::Rain, -1},
    {item::RainToday, ItemKind::Rain16, ItemQuantity::Rain, -1},
    {item::RainThisWeek, ItemKind::Rain16, ItemQuantity::Rain, -1},
    {item::RainThisMonth, ItemKind::Rain32, ItemQuantity::Rain, -1},
    {item::RainThisYear, ItemKind::Rain32, ItemQuantity::Rain, -1},
    {item::ExtraRain20, ItemKind::Rain32, ItemQuantity::Rain, -1},
    {item::SolarRadiation, ItemKind::Light, ItemQuantity::Light, 0x00FFFFFF},
    {item::Extra22, ItemKind::Unsigned16, ItemQuantity::Unknown, 0xFFFF},
    {item::UvIndex, ItemKind::Byte, ItemQuantity::UvIndex, 0xFFFF},
    {item::DateTime, ItemKind::DateTime, ItemQuantity::Clock, 0},
    {item::FeelsLike, ItemKind::Temperature, ItemQuantity::Temperature, 0x7FFF},
    {item::FirstChannelTemp, ItemKind::Temperature, ItemQuantity::Temperature, 0xFFFF, item::kChannels},
    {item::FirstChannelHumidity, ItemKind::Byte, ItemQuantity::Humidity, 0xFFFF, item::kChannels},
    {item::Pm25, ItemKind::Unsigned16, ItemQuantity::Pm25, 0xFFFF},
    {item::Soil, ItemKind::Byte, ItemQuantity::SoilMoisture, 0xFFFF},
};

// The row of a code; null for a code that ends a block.
constexpr const ItemRow* FindItem(std::uint8_t code)
{
    for (const ItemRow& row : kItemRows)
        if (code >= row.code && code - row.code < row.count)
            return &row;
    return nullptr;
}

constexpr std::optional<ItemKind> KindOfItem(std::uint8_t code)
{
    const ItemRow* row = FindItem(code);
    return row ? std::optional(row->kind) : std::nullopt;
}

// The bytes of an item's value; nothing for a code that ends a block.
constexpr std::optional<std::size_t> ItemValueSize(std::uint8_t code)
{
    const ItemRow* row = FindItem(code);
    return row ? std::optional(ValueSize(row->kind)) : std::nullopt;
}

constexpr bool IsChannelItem(std::uint8_t code)
{
    return code >= item::FirstChannelTemp && code < item::FirstChannelHumidity + item::kChannels;
}

}  // namespace vorelle
