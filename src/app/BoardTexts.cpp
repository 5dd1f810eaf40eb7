#include "app/BoardTexts.h"

#include "units/Formatters.h"

namespace vorelle {

std::string BoardValueText(BoardQuantity quantity, const LiveValues& v)
{
    const UnitCodes& u = v.units;
    switch (quantity) {
    case BoardQuantity::IndoorTemp: return FormatTemperature(u.temperature, Show::WithUnit, v.IndoorTemp);
    case BoardQuantity::IndoorHumidity: return FormatPercent(PercentFormat::WithSign, v.IndoorHumidity);
    case BoardQuantity::OutdoorTemp: return FormatTemperature(u.temperature, Show::WithUnit, v.OutdoorTemp);
    case BoardQuantity::OutdoorHumidity: return FormatPercent(PercentFormat::WithSign, v.OutdoorHumidity);
    case BoardQuantity::AbsBarometer: return FormatPressure(u.pressure, Show::WithUnit, v.AbsBarometer);
    case BoardQuantity::RelBarometer: return FormatPressure(u.pressure, Show::WithUnit, v.RelBarometer);
    case BoardQuantity::WindSpeed: return FormatWind(u.wind, Show::WithUnit, v.WindSpeed);
    case BoardQuantity::GustSpeed: return FormatWind(u.wind, Show::WithUnit, v.GustSpeed);
    case BoardQuantity::DewPointTemp: return FormatTemperature(u.temperature, Show::WithUnit, v.DewPointTemp);
    case BoardQuantity::FeelsLikeTemp: return FormatTemperature(u.temperature, Show::WithUnit, v.FeelsLikeTemp);
    case BoardQuantity::RainRate: return FormatRain(u.rain, RainFormat::Rate, v.RainRate);
    case BoardQuantity::RainToday: return FormatRain(u.rain, RainFormat::WithUnit, v.RainToday);
    case BoardQuantity::RainThisWeek: return FormatRain(u.rain, RainFormat::WithUnit, v.RainThisWeek);
    case BoardQuantity::RainThisMonth: return FormatRain(u.rain, RainFormat::WithUnit, v.RainThisMonth);
    case BoardQuantity::RainThisYear: return FormatRain(u.rain, RainFormat::WithUnit, v.RainThisYear);
    case BoardQuantity::SolarRadiation: return FormatLight(u.light, v.SolarRadiation);
    case BoardQuantity::UvIndex: return FormatPercent(PercentFormat::Plain, v.UvIndex);
    case BoardQuantity::Soil: return FormatPercent(PercentFormat::WithSign, v.Soil);
    case BoardQuantity::Pm25: return FormatPm25(v.Pm25);
    }
    return {};
}

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
    for (const BoardValue& value : kBoardValues)
        texts.push_back({BoardValueText(value.quantity, v), value.rect, BoardTextStyle::Value});
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const ChannelRow& row = kBoardChannelRows[channel];
        texts.push_back({FormatTemperature(v.units.temperature, Show::WithUnit, v.ChTemp[channel]),
                         row.temperatureValue, BoardTextStyle::Value});
        texts.push_back({FormatPercent(PercentFormat::WithSign, v.ChHumidity[channel]), row.humidityValue,
                         BoardTextStyle::Value});
    }
    return texts;
}

}  // namespace vorelle
