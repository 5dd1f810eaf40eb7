#pragma once

#include "items/ItemTable.h"
#include "link/ConsoleLink.h"
#include "link/HidTransport.h"
#include "link/ReplyRouter.h"
#include "settings/SettingsSave.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace vorelle {

// What a record holds before the console has seen a reading for it; the
// formatters show these as "--.-" or "--".
inline constexpr std::int32_t kMaxMinTemperatureNotSet = MissingPatternOf(ItemKind::Temperature);
inline constexpr std::int32_t kMaxMinByteNotSet = MissingPatternOf(ItemKind::Byte);
inline constexpr std::int32_t kMaxMinWordNotSet = MissingPatternOf(ItemKind::Unsigned16);
inline constexpr std::int32_t kMaxMinLightNotSet = MissingPatternOf(ItemKind::Light);

// Items start only below this offset of the block.
inline constexpr std::size_t kMaxMinItemsEnd = 47;

// One quantity's records in console units. Temperatures are signed, the
// others unsigned; a quantity with a maximum only leaves `min` at 0.
struct MaxMinRecord {
    std::int32_t max = 0;
    std::int32_t min = 0;
    bool present = false;  // decoded at some opening; the dialog leaves the field empty until then

    friend bool operator==(const MaxMinRecord&, const MaxMinRecord&) = default;
};

struct MaxMinRecords {
    MaxMinRecord indoorTemp;       // item 1
    MaxMinRecord outdoorTemp;      // item 2
    MaxMinRecord dewPoint;         // item 3
    MaxMinRecord indoorHumidity;   // item 6
    MaxMinRecord outdoorHumidity;  // item 7
    MaxMinRecord absPressure;      // item 8
    MaxMinRecord relPressure;      // item 9
    MaxMinRecord windSpeed;        // item 11, max only
    MaxMinRecord gustSpeed;        // item 12, max only
    MaxMinRecord rainRate;         // item 14, max only, not shown
    MaxMinRecord extraRain15;      // item 15, max only, not shown
    MaxMinRecord dailyRain;        // item 16, max only, not shown
    MaxMinRecord light;            // item 21, max only
    MaxMinRecord uvIndex;          // item 23, max only
    MaxMinRecord feelsLike;        // item 25, max only

    friend bool operator==(const MaxMinRecords&, const MaxMinRecords&) = default;
};

// Decodes the max/min block (the reply's payload at the start of the
// dialog's 256-byte copy) over `previous`: items the block does not carry
// keep the values of an earlier opening. Decoding stops at an unknown id, at
// offset 47, or at an item that would run past the block.
MaxMinRecords DecodeMaxMin(std::span<const std::uint8_t> block, const MaxMinRecords& previous);

// The dialog's twelve check boxes.
struct MaxMinClearBoxes {
    bool indoorTemp = false;
    bool outdoorTemp = false;
    bool indoorHumidity = false;
    bool outdoorHumidity = false;
    bool relPressure = false;
    bool absPressure = false;
    bool dewPoint = false;
    bool feelsLike = false;
    bool solarRadiation = false;
    bool uvIndex = false;
    bool windSpeed = false;
    bool gustSpeed = false;

    // "Clear All" ticks every box.
    static MaxMinClearBoxes All();
};

// Bits of the clear mask; a quantity with a maximum and a minimum has two.
namespace clear_bit {
inline constexpr std::uint32_t IndoorTemp = 0x3u << 0;
inline constexpr std::uint32_t IndoorHumidity = 0x3u << 2;
inline constexpr std::uint32_t AbsPressure = 0x3u << 4;
inline constexpr std::uint32_t RelPressure = 0x3u << 6;
inline constexpr std::uint32_t OutdoorTemp = 0x3u << 8;
inline constexpr std::uint32_t OutdoorHumidity = 0x3u << 10;
inline constexpr std::uint32_t FeelsLike = 0x3u << 12;
inline constexpr std::uint32_t DewPoint = 0x3u << 14;
inline constexpr std::uint32_t WindSpeed = 1u << 16;
inline constexpr std::uint32_t GustSpeed = 1u << 17;
inline constexpr std::uint32_t SolarRadiation = 1u << 18;
inline constexpr std::uint32_t UvIndex = 1u << 19;
inline constexpr std::uint32_t All = 0x000FFFFF;
}  // namespace clear_bit

std::uint32_t ClearMask(const MaxMinClearBoxes& boxes);

// CMD_WRITE_MAXMIN with the mask, least significant byte first.
Report BuildWriteMaxMin(std::uint32_t mask);

// Clear: refuse without a console, screen check (pause 100 ms, reply wait
// 500 ms), write. A mask of 0 is still sent.
SaveOutcome ClearMaxMin(ConsoleLink& link, ScreenFlag& flag, const MaxMinClearBoxes& boxes);

}  // namespace vorelle
