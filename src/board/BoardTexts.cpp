#include "board/BoardTexts.h"

#include "units/Formatters.h"

#include <array>

namespace vorelle {

namespace {

constexpr std::int32_t kMissingDirection = 0xFFFF;

enum class Shown { Temperature, Percent, Pressure, Wind, RainRate, Rain, Light, Plain, Pm25 };

struct ShownQuantity {
    BoardQuantity quantity;
    std::string_view key;
    std::int32_t LiveValues::*field;
    Shown shown;
};

// How each quantity of the board is shown, in the board's order.
constexpr std::array<ShownQuantity, kBoardQuantityCount> kQuantities{{
    {BoardQuantity::IndoorTemp, "IndoorTemp", &LiveValues::IndoorTemp, Shown::Temperature},
    {BoardQuantity::IndoorHumidity, "IndoorHumidity", &LiveValues::IndoorHumidity, Shown::Percent},
    {BoardQuantity::OutdoorTemp, "OutdoorTemp", &LiveValues::OutdoorTemp, Shown::Temperature},
    {BoardQuantity::OutdoorHumidity, "OutdoorHumidity", &LiveValues::OutdoorHumidity, Shown::Percent},
    {BoardQuantity::AbsBarometer, "AbsBarometer", &LiveValues::AbsBarometer, Shown::Pressure},
    {BoardQuantity::RelBarometer, "RelBarometer", &LiveValues::RelBarometer, Shown::Pressure},
    {BoardQuantity::WindSpeed, "WindSpeed", &LiveValues::WindSpeed, Shown::Wind},
    {BoardQuantity::GustSpeed, "GustSpeed", &LiveValues::GustSpeed, Shown::Wind},
    {BoardQuantity::DewPointTemp, "DewPointTemp", &LiveValues::DewPointTemp, Shown::Temperature},
    {BoardQuantity::FeelsLikeTemp, "FeelsLikeTemp", &LiveValues::FeelsLikeTemp, Shown::Temperature},
    {BoardQuantity::RainRate, "RainRate", &LiveValues::RainRate, Shown::RainRate},
    {BoardQuantity::RainToday, "RainToday", &LiveValues::RainToday, Shown::Rain},
    {BoardQuantity::RainThisWeek, "RainThisWeek", &LiveValues::RainThisWeek, Shown::Rain},
    {BoardQuantity::RainThisMonth, "RainThisMonth", &LiveValues::RainThisMonth, Shown::Rain},
    {BoardQuantity::RainThisYear, "RainThisYear", &LiveValues::RainThisYear, Shown::Rain},
    {BoardQuantity::SolarRadiation, "SolarRadiation", &LiveValues::SolarRadiation, Shown::Light},
    {BoardQuantity::UvIndex, "UvIndex", &LiveValues::UvIndex, Shown::Plain},
    {BoardQuantity::Soil, "Soil", &LiveValues::Soil, Shown::Percent},
    {BoardQuantity::Pm25, "Pm25", &LiveValues::Pm25, Shown::Pm25},
}};

constexpr std::array<std::string_view, kChannelCount> kChannelTempKeys{"ChTemp1", "ChTemp2", "ChTemp3", "ChTemp4",
                                                                      "ChTemp5", "ChTemp6", "ChTemp7", "ChTemp8"};
constexpr std::array<std::string_view, kChannelCount> kChannelHumidityKeys{
    "ChHumidity1", "ChHumidity2", "ChHumidity3", "ChHumidity4",
    "ChHumidity5", "ChHumidity6", "ChHumidity7", "ChHumidity8"};

std::string Format(Shown shown, std::int32_t value, const UnitCodes& u)
{
    switch (shown) {
    case Shown::Temperature: return FormatTemperature(u.temperature, Show::WithUnit, value);
    case Shown::Percent: return FormatPercent(PercentFormat::WithSign, value);
    case Shown::Pressure: return FormatPressure(u.pressure, Show::WithUnit, value);
    case Shown::Wind: return FormatWind(u.wind, Show::WithUnit, value);
    case Shown::RainRate: return FormatRain(u.rain, RainFormat::Rate, value);
    case Shown::Rain: return FormatRain(u.rain, RainFormat::WithUnit, value);
    case Shown::Light: return FormatLight(u.light, value);
    case Shown::Plain: return FormatPercent(PercentFormat::Plain, value);
    case Shown::Pm25: return FormatPm25(value);
    }
    return {};
}

bool IsMissingText(const std::string& text) { return text == kMissingValueText || text == kMissingIntegerText; }

std::string WithoutTrailingBlanks(std::string_view text)
{
    const std::size_t end = text.find_last_not_of(' ');
    return std::string(text.substr(0, end == std::string_view::npos ? 0 : end + 1));
}

}  // namespace

std::string WindDirectionText(int degrees) { return std::to_string(degrees) + " \u00B0"; }

std::vector<BoardText> BoardTexts(const LiveReadings::Snapshot& readings)
{
    const LiveValues& v = readings.values;
    std::vector<BoardText> texts;
    for (const BoardName& name : kBoardNames)
        texts.push_back({name.text, name.rect, BoardTextStyle::Name});
    for (const ChannelRow& row : kBoardChannelRows) {
        texts.push_back({row.temperatureText, row.temperatureName, BoardTextStyle::Name});
        texts.push_back({row.humidityText, row.humidityName, BoardTextStyle::Name});
    }
    for (std::size_t i = 0; i < kQuantities.size(); ++i)
        texts.push_back({Format(kQuantities[i].shown, v.*kQuantities[i].field, v.units), kBoardValues[i].rect,
                         BoardTextStyle::Value});
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const ChannelRow& row = kBoardChannelRows[channel];
        texts.push_back({Format(Shown::Temperature, v.ChTemp[channel], v.units), row.temperatureValue,
                         BoardTextStyle::Value});
        texts.push_back({Format(Shown::Percent, v.ChHumidity[channel], v.units), row.humidityValue,
                         BoardTextStyle::Value});
    }
    return texts;
}

std::vector<QuantityReading> QuantityReadings(const LiveReadings::Snapshot& readings)
{
    const LiveValues& v = readings.values;
    std::vector<QuantityReading> list;
    const auto add = [&](std::string_view key, std::string_view name, std::int32_t raw, std::string text) {
        const bool missing = IsMissingText(text);
        list.push_back({key, WithoutTrailingBlanks(name), raw, missing, std::move(text)});
    };
    for (std::size_t i = 0; i < kQuantities.size(); ++i) {
        const std::int32_t raw = v.*kQuantities[i].field;
        add(kQuantities[i].key, kBoardNames[i].text, raw, Format(kQuantities[i].shown, raw, v.units));
    }
    if (v.WindDir == kMissingDirection)
        add("WindDir", "Wind Direction", v.WindDir, std::string(kMissingIntegerText));
    else
        add("WindDir", "Wind Direction", v.WindDir, WindDirectionText(v.WindDir));
    if (readings.channelsPresent) {
        for (int c = 0; c < kChannelCount; ++c) {
            add(kChannelTempKeys[c], kChannelTemperatureTexts[c], v.ChTemp[c], Format(Shown::Temperature, v.ChTemp[c], v.units));
            add(kChannelHumidityKeys[c], kChannelHumidityTexts[c], v.ChHumidity[c],
                Format(Shown::Percent, v.ChHumidity[c], v.units));
        }
    }
    return list;
}

}  // namespace vorelle
