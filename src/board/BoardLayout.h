#pragma once

#include "live/LiveValues.h"

#include <array>

namespace vorelle {

// Geometry of the painted main-window board, shared by the board pictures and
// the painter that writes the readings over them. Rectangles are in board
// pixels: left and top inclusive, right and bottom exclusive.

struct Rect {
    int left;
    int top;
    int right;
    int bottom;
};

struct Point {
    int x;
    int y;
};

struct Size {
    int width;
    int height;
};

struct Rgb {
    int red;
    int green;
    int blue;
};

// The narrow board has no channel column; the wide one adds it at x >= 620.
inline constexpr Size kNarrowBoardSize{620, 620};
inline constexpr Size kWideBoardSize{930, 650};

inline constexpr int kNameFontHeight = 17;
inline constexpr int kValueFontHeight = 25;
inline constexpr Rgb kBoardTextColour{90, 90, 90};
inline constexpr Rgb kArrowPenColour{70, 70, 70};

// A name is drawn left- and top-aligned in its rectangle. Some texts keep
// trailing spaces; they are part of the text.
struct BoardName {
    const char* text;
    Rect rect;
};

enum class BoardQuantity {
    IndoorTemp,
    IndoorHumidity,
    OutdoorTemp,
    OutdoorHumidity,
    AbsBarometer,
    RelBarometer,
    WindSpeed,
    GustSpeed,
    DewPointTemp,
    FeelsLikeTemp,
    RainRate,
    RainToday,
    RainThisWeek,
    RainThisMonth,
    RainThisYear,
    SolarRadiation,
    UvIndex,
    Soil,
    Pm25,
};

// A value is drawn horizontally centred, top-aligned, in its rectangle.
struct BoardValue {
    BoardQuantity quantity;
    Rect rect;
};

inline constexpr int kBoardQuantityCount = 19;

// Entry i of the names belongs to entry i of the values.
inline constexpr std::array<BoardName, kBoardQuantityCount> kBoardNames{{
    {"Indoor Temperature", {20, 20, 210, 45}},
    {"Indoor Humidity", {205, 20, 390, 45}},
    {"Outdoor Temperature", {20, 120, 210, 160}},
    {"Outdoor Humidity", {205, 120, 390, 160}},
    {"Absolute Barometer", {20, 220, 210, 250}},
    {"Relative Barometer", {165, 220, 370, 250}},
    {"Wind Speed", {315, 220, 500, 250}},
    {"Wind Gust Speed", {465, 220, 650, 250}},
    {"Dew point", {20, 320, 210, 350}},
    {"Feels Like", {165, 320, 370, 350}},
    {"Rainfall Rate", {315, 320, 500, 350}},
    {"Rainfall Today ", {465, 320, 650, 350}},
    {"Weekly Rainfall  ", {20, 420, 210, 460}},
    {"Monthly Rainfall  ", {165, 420, 370, 460}},
    {"Annual Rainfall ", {315, 420, 520, 460}},
    {"Solar Radiation", {465, 420, 700, 460}},
    {"UV-Index", {20, 520, 210, 560}},
    {"Soil", {165, 520, 370, 560}},
    {"PM2.5", {315, 520, 520, 560}},
}};

inline constexpr std::array<BoardValue, kBoardQuantityCount> kBoardValues{{
    {BoardQuantity::IndoorTemp, {20, 65, 185, 155}},
    {BoardQuantity::IndoorHumidity, {205, 65, 375, 155}},
    {BoardQuantity::OutdoorTemp, {20, 160, 185, 270}},
    {BoardQuantity::OutdoorHumidity, {205, 160, 375, 270}},
    {BoardQuantity::AbsBarometer, {20, 260, 150, 300}},
    {BoardQuantity::RelBarometer, {170, 260, 300, 300}},
    {BoardQuantity::WindSpeed, {320, 260, 450, 300}},
    {BoardQuantity::GustSpeed, {470, 260, 600, 300}},
    {BoardQuantity::DewPointTemp, {20, 360, 150, 400}},
    {BoardQuantity::FeelsLikeTemp, {170, 360, 300, 400}},
    {BoardQuantity::RainRate, {320, 360, 450, 400}},
    {BoardQuantity::RainToday, {470, 360, 600, 400}},
    {BoardQuantity::RainThisWeek, {10, 460, 150, 500}},
    {BoardQuantity::RainThisMonth, {170, 460, 300, 500}},
    {BoardQuantity::RainThisYear, {320, 460, 450, 500}},
    {BoardQuantity::SolarRadiation, {470, 460, 600, 500}},
    {BoardQuantity::UvIndex, {10, 560, 150, 600}},
    {BoardQuantity::Soil, {170, 560, 300, 600}},
    {BoardQuantity::Pm25, {320, 560, 450, 600}},
}};

// One row of the channel column. The rows are drawn on both boards; on the
// narrow one they fall outside the picture.
struct ChannelRow {
    const char* temperatureText;
    Rect temperatureName;
    const char* humidityText;
    Rect humidityName;
    Rect temperatureValue;
    Rect humidityValue;
};

inline constexpr int kChannelRowPitch = 75;

inline constexpr std::array<const char*, kChannelCount> kChannelTemperatureTexts{
    "CH1 Temperature", "CH2 Temperature", "CH3 Temperature", "CH4 Temperature",
    "CH5 Temperature", "CH6 Temperature", "CH7 Temperature", "CH8 Temperature",
};

inline constexpr std::array<const char*, kChannelCount> kChannelHumidityTexts{
    "CH1 Humidity", "CH2 Humidity", "CH3 Humidity", "CH4 Humidity",
    "CH5 Humidity", "CH6 Humidity", "CH7 Humidity", "CH8 Humidity",
};

// Row `index` (0 for channel 1) of the channel column.
constexpr ChannelRow BoardChannelRow(int index)
{
    const int dy = kChannelRowPitch * index;
    return {
        kChannelTemperatureTexts[index], {630, 15 + dy, 780, 45 + dy},
        kChannelHumidityTexts[index],    {780, 15 + dy, 900, 45 + dy},
        {620, 45 + dy, 770, 85 + dy},
        {770, 45 + dy, 920, 85 + dy},
    };
}

inline constexpr std::array<ChannelRow, kChannelCount> kBoardChannelRows = [] {
    std::array<ChannelRow, kChannelCount> rows{};
    for (int i = 0; i < kChannelCount; ++i)
        rows[i] = BoardChannelRow(i);
    return rows;
}();

// The wind arrow turns about its centre; 0 degrees points up, angles grow
// clockwise. Its direction text goes in the upper rectangle while the arrow
// points downwards (90 to 270 degrees inclusive), else in the lower one.
inline constexpr Point kArrowCentre{500, 110};
inline constexpr int kArrowTipLength = 70;
inline constexpr int kArrowWingLength = 20;
inline constexpr Rect kArrowTextUpper{406, 60, 610, 105};
inline constexpr Rect kArrowTextLower{406, 135, 610, 155};

}  // namespace vorelle
