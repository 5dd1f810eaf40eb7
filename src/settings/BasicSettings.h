#pragma once

#include "link/ConsoleLink.h"
#include "link/HidTransport.h"
#include "link/ReplyRouter.h"
#include "settings/SettingsSave.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vorelle {

// A list box without a selection.
inline constexpr int kNoSelection = -1;

// The rows of the dialog's lists; a row number is the code the console keeps.
inline constexpr std::array<std::string_view, 2> kTemperatureUnitTexts = {"°C", "°F"};
inline constexpr std::array<std::string_view, 3> kLightUnitTexts = {"lux", "w/m2", "fc"};
inline constexpr std::array<std::string_view, 5> kWindUnitTexts = {"m/s", "km/h", "bft", "mph", "knots"};
inline constexpr std::array<std::string_view, 3> kPressureUnitTexts = {"inHg", "mmHg", "hPa"};
inline constexpr std::array<std::string_view, 2> kRainUnitTexts = {"mm", "in"};
inline constexpr std::array<std::string_view, 4> kSensorTexts = {"ra5", "rb8", "ra5uart", "no sensor"};
inline constexpr std::array<std::string_view, 4> kFrequencyTexts = {"433MHz", "868MHz", "915MHz", "920MHz"};

// The sensor row the console codes as 255.
inline constexpr int kNoSensorRow = 3;
inline constexpr std::uint8_t kNoSensorCode = 255;

inline constexpr int kMinRecordingInterval = 1;    // minutes
inline constexpr int kMaxRecordingInterval = 240;  // minutes
inline constexpr std::string_view kIntervalMessage = "Data Recording Interval: 1 - 240 Minute";

// Settings block as the console sends it (reply to CMD_READ_SETTING, header
// included).
namespace setting_byte {
inline constexpr std::size_t TemperatureUnit = 2;
inline constexpr std::size_t PressureUnit = 3;
inline constexpr std::size_t WindUnit = 4;
inline constexpr std::size_t RainUnit = 5;
inline constexpr std::size_t LightUnit = 6;
inline constexpr std::size_t DaylightSaving = 7;
inline constexpr std::size_t TimeZone = 8;
inline constexpr std::size_t DaylightSavingOffered = 9;
inline constexpr std::size_t Interval = 10;
inline constexpr std::size_t Sensor = 11;
inline constexpr std::size_t Frequency = 12;
inline constexpr std::size_t BlockUsed = 13;  // bytes of the block that mean something
}  // namespace setting_byte

// What the basic settings dialog shows. A row is kNoSelection when the block
// holds a code beyond its list. Default-constructed it is the dialog opened
// without a console: first rows, empty interval, daylight-saving box hidden.
struct BasicSettingsForm {
    int temperatureRow = 0;
    int lightRow = 0;
    int windRow = 0;
    int pressureRow = 0;
    int rainRow = 0;
    int timeZoneRow = 0;
    bool daylightSaving = false;         // the check box's state, kept while hidden
    bool daylightSavingVisible = false;
    std::string interval;                // as typed, minutes
    int sensorRow = 0;                   // shown only
    int frequencyRow = 0;                // shown only

    friend bool operator==(const BasicSettingsForm&, const BasicSettingsForm&) = default;
};

// Fills the form from the settings block (the dialog's 256-byte copy, or any
// part of it; bytes beyond `block` read as 0).
BasicSettingsForm DecodeBasicSettings(std::span<const std::uint8_t> block);

// The user picked another time zone: the daylight-saving box is offered only
// where the zone has a rule.
void SelectTimeZone(BasicSettingsForm& form, int row);

// The message that refuses the form, if any.
std::optional<std::string> ValidateBasicSettings(const BasicSettingsForm& form);

// CMD_WRITE_SETTING from the form; nothing when the form is refused. A list
// without a selection, and the "no sensor" row, are sent as 255.
std::optional<Report> BuildWriteSetting(const BasicSettingsForm& form);

// Save: validate, refuse without a console, screen check (pause 50 ms, reply
// wait 5000 ms), write.
SaveOutcome SaveBasicSettings(ConsoleLink& link, ScreenFlag& flag, const BasicSettingsForm& form);

}  // namespace vorelle
