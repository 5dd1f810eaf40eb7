#pragma once

#include "store/WeatherRecord.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace vorelle {

// Which readings a recording's columns hold, chosen by the recording's name:
// a channel recording (name contains "CH") holds one extra sensor's
// temperature, humidity, dew point and feels-like temperature, stored in the
// indoor columns; a soil recording ("SM", unless "CH" is there too) holds
// soil moisture, stored as InHumi; any other recording is the station's main
// recording.
enum class RecordingLayout { Main, Channel, Soil };

RecordingLayout LayoutForRecording(std::string_view recordingName);

// Where one column of a recording goes in a Records row: a decimal field or
// an integer field (the other is null).
struct LayoutColumn {
    std::size_t column;
    float WeatherRecord::*floatField;
    std::int32_t WeatherRecord::*integerField;
};

// The recording's columns that a layout stores, in the recording's order.
// Column 0 is the time; the main recording's column 11 (wind direction) is
// shown, never stored.
std::span<const LayoutColumn> LayoutColumns(RecordingLayout layout);

// A row with every reading missing but WindDirection, RainHour and No,
// which no recording fills and which stay 0; the time is 0.
inline constexpr WeatherRecord kNothingRecorded = [] {
    WeatherRecord record;
    for (const auto field : {&WeatherRecord::inHumi, &WeatherRecord::outHumi, &WeatherRecord::uv})
        record.*field = kMissingValue;
    for (const auto field : {&WeatherRecord::inTemp, &WeatherRecord::outTemp, &WeatherRecord::wind,
                             &WeatherRecord::gust, &WeatherRecord::dewPoint, &WeatherRecord::windChill,
                             &WeatherRecord::relPressure, &WeatherRecord::absPressure, &WeatherRecord::rain,
                             &WeatherRecord::rainDay, &WeatherRecord::rainWeek, &WeatherRecord::rainMonth,
                             &WeatherRecord::rainYear, &WeatherRecord::light})
        record.*field = kMissingFloat;
    return record;
}();

}  // namespace vorelle
