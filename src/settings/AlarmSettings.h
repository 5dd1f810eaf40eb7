#pragma once

#include "items/ItemTable.h"
#include "link/ConsoleLink.h"
#include "link/HidTransport.h"
#include "link/ReplyRouter.h"
#include "live/LiveValues.h"
#include "settings/SettingsSave.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vorelle {

// The alarm thresholds, in the order Save checks them: the dialog's eighteen,
// then the two rain thresholds the console sends but the dialog neither shows
// nor writes.
enum class AlarmRow : std::size_t {
    IndoorTempHigh,
    IndoorTempLow,
    IndoorHumidityHigh,
    IndoorHumidityLow,
    OutdoorTempHigh,
    OutdoorTempLow,
    OutdoorHumidityHigh,
    OutdoorHumidityLow,
    DewPointHigh,
    DewPointLow,
    AbsPressureHigh,
    AbsPressureLow,
    RelPressureHigh,
    RelPressureLow,
    FeelsLikeHigh,
    FeelsLikeLow,
    WindSpeed,
    GustSpeed,
    RainRate,
    DailyRain,
};
inline constexpr std::size_t kAlarmShownRows = 18;
inline constexpr std::size_t kAlarmRows = 20;

// What a threshold holds when the console has none (a temperature may also
// come as 7F FF); the dialog shows it as "--.-" ("--" for humidity).
inline constexpr std::int32_t kAlarmWordNotSet = MissingPatternOf(ItemKind::Unsigned16);
inline constexpr std::int32_t kAlarmHumidityNotSet = MissingPatternOf(ItemKind::Byte);

// Items start only below this offset of the block's item list.
inline constexpr std::size_t kAlarmItemsEnd = 60;

inline constexpr std::string_view kAlarmTemperatureMessage = "Alarm Temperature:-40.0\u00B0C / -40\u00B0F to 60.0\u00B0C / 140\u00B0F";
inline constexpr std::string_view kAlarmHumidityMessage = "Alarm Humidity:1 to 99";
inline constexpr std::string_view kAlarmBarometerMessage =
    "Alarm Barometer:300hPa / 225mmHg / 8.86inHg to 1100hPa / 825.1mmHg / 32.48inHg";
inline constexpr std::string_view kAlarmFeelsLikeMessage =
    "Alarm Feels Like:-3276.8\u00B0C / -5866.2\u00B0F to 3276.6\u00B0C / 5929.9\u00B0F";

// The rows as messages name them: the dialog's group and label.
inline constexpr std::array<std::string_view, kAlarmShownRows> kAlarmFieldNames = {
    "High Alarm Indoor Temp",    "Low Alarm Indoor Temp",    "High Alarm Indoor RH",  "Low Alarm Indoor RH",
    "High Alarm Outdoor Temp",   "Low Alarm Outdoor Temp",   "High Alarm Outdoor RH", "Low Alarm Outdoor RH",
    "High Alarm Dew Point",      "Low Alarm Dew Point",      "High Alarm ABS Barometer",
    "Low Alarm ABS Barometer",   "High Alarm REL Barometer", "Low Alarm REL Barometer",
    "High Alarm Feels Like",     "Low Alarm Feels Like",     "High Alarm Wind Speed", "High Alarm Wind Gust Speed"};

// One threshold in console units (tenths of °C, whole %, tenths of hPa,
// tenths of m/s, tenths of mm), or its not-set marker as the console sent it.
struct AlarmLimit {
    std::int32_t value = 0;
    bool on = false;

    friend bool operator==(const AlarmLimit&, const AlarmLimit&) = default;
};

struct AlarmThresholds {
    std::array<AlarmLimit, kAlarmRows> rows{};

    AlarmLimit& operator[](AlarmRow row) { return rows[static_cast<std::size_t>(row)]; }
    const AlarmLimit& operator[](AlarmRow row) const { return rows[static_cast<std::size_t>(row)]; }
    friend bool operator==(const AlarmThresholds&, const AlarmThresholds&) = default;
};

// Decodes the alarm block (the reply to CMD_READ_ALARM, header included) over
// `previous`: thresholds the block does not carry keep the values of an
// earlier opening. Decoding stops at an unknown id, at offset 60 of the item
// list, and before an item that would run past the bytes the reply says it
// holds.
AlarmThresholds DecodeAlarm(std::span<const std::uint8_t> block, const AlarmThresholds& previous);

// One row of the dialog: the threshold in the display unit, and its box.
struct AlarmEntry {
    std::string text;
    bool on = false;

    friend bool operator==(const AlarmEntry&, const AlarmEntry&) = default;
};

struct AlarmForm {
    std::array<AlarmEntry, kAlarmShownRows> rows{};

    AlarmEntry& operator[](AlarmRow row) { return rows[static_cast<std::size_t>(row)]; }
    const AlarmEntry& operator[](AlarmRow row) const { return rows[static_cast<std::size_t>(row)]; }
    friend bool operator==(const AlarmForm&, const AlarmForm&) = default;
};

// The thresholds as the dialog shows them in `units`.
AlarmForm ShowAlarm(const AlarmThresholds& thresholds, const UnitCodes& units);

// The thresholds a form stands for, or the message refusing the first field
// that is empty, out of range or does not fit its field. `shown` are the
// thresholds the form was filled from: a field left as shown keeps the
// console's own value (its not-set marker included) and is not checked again
// (see ReadFormField). "--" and "--.-" mean not set.
struct AlarmInput {
    AlarmThresholds thresholds;
    std::optional<std::string> refusal;
};
AlarmInput ReadAlarmForm(const AlarmForm& form, const AlarmThresholds& shown, const UnitCodes& units);

// CMD_WRITE_ALARM with the eighteen shown thresholds; the rain thresholds are
// not part of it.
Report BuildWriteAlarm(const AlarmThresholds& thresholds);

// Save: read the form, refuse without a console, screen check (pause 50 ms,
// reply wait 500 ms), write.
SaveOutcome SaveAlarm(ConsoleLink& link, ScreenFlag& flag, const AlarmForm& form, const AlarmThresholds& shown,
                      const UnitCodes& units);

}  // namespace vorelle
