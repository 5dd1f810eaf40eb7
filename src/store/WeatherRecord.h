#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vorelle {

// Stored in place of a reading the recording does not have: 65535 in an
// integer column, 65535.0 in a float column. Queries leave such rows out of
// the queried column.
inline constexpr std::int32_t kMissingValue = 65535;
inline constexpr float kMissingFloat = 65535.0f;

// One row of the Records table: one reading of a recording, in the units the
// recording was written in. `time` is an automation date (RecordTime.h).
struct WeatherRecord {
    double time = 0.0;
    std::int32_t no = 0;
    std::int32_t inHumi = 0;
    std::int32_t outHumi = 0;
    std::int32_t windDirection = 0;
    std::int32_t uv = 0;
    float inTemp = 0.0f;
    float outTemp = 0.0f;
    float wind = 0.0f;
    float gust = 0.0f;
    float dewPoint = 0.0f;
    float windChill = 0.0f;
    float relPressure = 0.0f;
    float absPressure = 0.0f;
    float rain = 0.0f;
    float rainHour = 0.0f;
    float rainDay = 0.0f;
    float rainWeek = 0.0f;
    float rainMonth = 0.0f;
    float rainYear = 0.0f;
    float light = 0.0f;

    friend bool operator==(const WeatherRecord&, const WeatherRecord&) = default;
};

// The Records table's columns, in the order a row is written. Queries take
// their column name only from this list.
inline constexpr std::array<std::string_view, 21> kRecordColumns = {
    "Time",     "No",          "InHumi",      "OutHumi", "WindDirection", "UV",       "InTemp",
    "OutTemp",  "Wind",        "Gust",        "DewPoint", "WindChill",    "RelPressure", "AbsPressure",
    "Rain",     "RainHour",    "RainDay",     "RainWeek", "RainMonth",    "RainYear", "Light",
};

// Column names match without regard to case, as SQL matches them.
bool SameColumnName(std::string_view a, std::string_view b);

// The column's index in kRecordColumns, or none when `name` is not a Records
// column.
std::optional<std::size_t> RecordColumnIndex(std::string_view name);

}  // namespace vorelle
