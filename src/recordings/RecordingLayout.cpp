#include "recordings/RecordingLayout.h"

#include "recordings/RecordingLine.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace vorelle {

namespace {

// Where one column of a layout goes: a float field or an integer field.
struct ColumnTarget {
    std::size_t column;
    float WeatherRecord::*floatField;
    std::int32_t WeatherRecord::*integerField;
};

constexpr ColumnTarget Float(std::size_t column, float WeatherRecord::*field)
{
    return {column, field, nullptr};
}

constexpr ColumnTarget Integer(std::size_t column, std::int32_t WeatherRecord::*field)
{
    return {column, nullptr, field};
}

// Column 11 of the main recording (wind direction) is shown, never stored.
constexpr std::array kMainColumns = {
    Float(1, &WeatherRecord::inTemp),       Integer(2, &WeatherRecord::inHumi), Float(3, &WeatherRecord::relPressure),
    Float(4, &WeatherRecord::absPressure),  Float(5, &WeatherRecord::outTemp),  Integer(6, &WeatherRecord::outHumi),
    Float(7, &WeatherRecord::dewPoint),     Float(8, &WeatherRecord::windChill), Float(9, &WeatherRecord::wind),
    Float(10, &WeatherRecord::gust),        Float(12, &WeatherRecord::light),   Integer(13, &WeatherRecord::uv),
    Float(14, &WeatherRecord::rain),        Float(15, &WeatherRecord::rainDay), Float(16, &WeatherRecord::rainWeek),
    Float(17, &WeatherRecord::rainMonth),   Float(18, &WeatherRecord::rainYear),
};
constexpr std::array kChannelColumns = {
    Float(1, &WeatherRecord::inTemp),
    Integer(2, &WeatherRecord::inHumi),
    Float(3, &WeatherRecord::dewPoint),
    Float(4, &WeatherRecord::windChill),
};
constexpr std::array kSoilColumns = {
    Integer(1, &WeatherRecord::inHumi),
};

std::span<const ColumnTarget> ColumnsOf(RecordingLayout layout)
{
    switch (layout) {
    case RecordingLayout::Channel: return kChannelColumns;
    case RecordingLayout::Soil: return kSoilColumns;
    case RecordingLayout::Main: break;
    }
    return kMainColumns;
}

// A record with every reading missing but the three columns no recording
// fills.
constexpr WeatherRecord kNothingRecorded = [] {
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

}  // namespace

RecordingLayout LayoutForRecording(std::string_view recordingName)
{
    if (recordingName.find("CH") != std::string_view::npos)
        return RecordingLayout::Channel;
    if (recordingName.find("SM") != std::string_view::npos)
        return RecordingLayout::Soil;
    return RecordingLayout::Main;
}

WeatherRecord RecordFromFields(RecordingLayout layout, std::span<const std::string_view> fields)
{
    WeatherRecord record = kNothingRecorded;
    for (const ColumnTarget& target : ColumnsOf(layout)) {
        const std::string_view field = target.column < fields.size() ? fields[target.column] : std::string_view();
        if (target.floatField)
            record.*target.floatField = ReadFloatField(field);
        else
            record.*target.integerField = ReadIntegerField(field);
    }
    return record;
}

}  // namespace vorelle
