#pragma once

#include "records/WeatherRecord.h"

#include <span>
#include <string_view>

namespace vorelle {

// Which readings a recording's columns hold, chosen by the recording's name:
// a channel recording (name contains "CH") holds one extra sensor's
// temperature, humidity, dew point and feels-like temperature; a soil
// recording ("SM", unless "CH" is there too) holds soil moisture; any other
// recording is the station's main recording.
enum class RecordingLayout { Main, Channel, Soil };

RecordingLayout LayoutForRecording(std::string_view recordingName);

// The record of one reading from its line's fields (fields[0], the time, is
// not read here). A column the line does not have, or whose field is not a
// number, is stored as missing; so is every reading the layout does not
// carry, except WindDirection, RainHour and No, which no recording fills and
// which stay 0. The time is left 0.
WeatherRecord RecordFromFields(RecordingLayout layout, std::span<const std::string_view> fields);

}  // namespace vorelle
