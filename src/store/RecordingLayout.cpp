#include "store/RecordingLayout.h"

#include <array>

namespace vorelle {

namespace {

constexpr LayoutColumn Float(std::size_t column, float WeatherRecord::*field)
{
    return {column, field, nullptr};
}

constexpr LayoutColumn Integer(std::size_t column, std::int32_t WeatherRecord::*field)
{
    return {column, nullptr, field};
}

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

}  // namespace

RecordingLayout LayoutForRecording(std::string_view recordingName)
{
    if (recordingName.find("CH") != std::string_view::npos)
        return RecordingLayout::Channel;
    if (recordingName.find("SM") != std::string_view::npos)
        return RecordingLayout::Soil;
    return RecordingLayout::Main;
}

std::span<const LayoutColumn> LayoutColumns(RecordingLayout layout)
{
    switch (layout) {
    case RecordingLayout::Channel: return kChannelColumns;
    case RecordingLayout::Soil: return kSoilColumns;
    case RecordingLayout::Main: break;
    }
    return kMainColumns;
}

}  // namespace vorelle
