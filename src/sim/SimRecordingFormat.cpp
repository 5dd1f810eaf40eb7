#include "sim/SimRecordingFormat.h"

#include "items/ItemCodec.h"
#include "sim/SimWeather.h"
#include "units/Formatters.h"

#include <cmath>
#include <cstdio>

namespace vorelle {

namespace {

constexpr std::string_view kMissing = "--";
constexpr std::int32_t kLiveWordMissing = 0xFFFF;

std::string Unit(std::string_view name) { return "(" + std::string(name) + ")"; }

std::string TemperatureUnit(const UnitCodes& units) { return units.temperature == kTempCelsius ? "(C)" : "(F)"; }

// A formatted value, or "--" where the formatter shows a missing reading.
void AppendValue(std::string& out, std::string text)
{
    out += ',';
    out += text == kMissingValueText || text == kMissingIntegerText ? std::string(kMissing) : text;
}

void AppendTemperature(std::string& out, const UnitCodes& units, std::int32_t value)
{
    AppendValue(out, FormatTemperature(units.temperature, Show::NumberOnly, value));
}

void AppendWhole(std::string& out, std::int32_t value) { AppendValue(out, FormatPercent(PercentFormat::Plain, value)); }

void AppendRain(std::string& out, const UnitCodes& units, std::int32_t value)
{
    AppendValue(out, FormatRain(units.rain, RainFormat::NumberOnly, value));
}

// Dew point and feels-like of a channel in tenths of °C; missing with either reading.
std::int32_t ChannelDerived(const LiveValues& v, bool dewPoint)
{
    const std::int32_t temperature = v.ChTemp[0];
    const std::int32_t humidity = v.ChHumidity[0];
    if (!CarriesReading(*KindOfItem(item::FirstChannelTemp), temperature) ||
        !CarriesReading(*KindOfItem(item::FirstChannelHumidity), humidity))
        return kLiveWordMissing;
    const double celsius = temperature / 10.0;
    const double derived = dewPoint ? DewPointCelsius(celsius, humidity) : FeelsLikeCelsius(celsius, humidity, 0.0);
    return static_cast<std::int32_t>(std::lround(derived * 10.0));
}

}  // namespace

std::string_view RecordingNameMark(SimRecordingKind kind)
{
    switch (kind) {
    case SimRecordingKind::Channels:
        return "CH";
    case SimRecordingKind::Soil:
        return "SM";
    case SimRecordingKind::Weather:
        break;
    }
    return "";
}

void AppendRecordingHeader(std::string& out, SimRecordingKind kind, const UnitCodes& units)
{
    const std::string temperature = TemperatureUnit(units);
    out += "Time";
    switch (kind) {
    case SimRecordingKind::Weather: {
        const std::string pressure = Unit(PressureUnitName(units.pressure));
        const std::string wind = Unit(WindUnitName(units.wind));
        const std::string rain = Unit(RainUnitName(units.rain));
        out += ",Indoor Temperature" + temperature + ",Indoor Humidity(%),Relative Pressure" + pressure +
               ",Absolute Pressure" + pressure + ",Outdoor Temperature" + temperature +
               ",Outdoor Humidity(%),Dew Point" + temperature + ",Feels Like" + temperature + ",Wind Speed" + wind +
               ",Gust Speed" + wind + ",Wind Direction(deg),Light" + Unit(LightUnitName(units.light)) +
               ",UV Index,Hourly Rain" + rain + ",Daily Rain" + rain + ",Weekly Rain" + rain + ",Monthly Rain" +
               rain + ",Yearly Rain" + rain;
        break;
    }
    case SimRecordingKind::Channels:
        out += ",CH1 Temperature" + temperature + ",CH1 Humidity(%),CH1 Dew Point" + temperature +
               ",CH1 Feels Like" + temperature;
        for (int channel = 2; channel <= kChannelCount; ++channel) {
            const std::string prefix = ",CH" + std::to_string(channel);
            out += prefix + " Temperature" + temperature + prefix + " Humidity(%)";
        }
        break;
    case SimRecordingKind::Soil:
        out += ",Soil Moisture(%)";
        break;
    }
    out += '\n';
}

void AppendRecordingLine(std::string& out, SimRecordingKind kind, const SimRecordedReading& reading,
                         const UnitCodes& units)
{
    const std::tm& t = reading.localTime;
    char time[64];
    std::snprintf(time, sizeof time, "%04d-%02d-%02d %02d:%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                  t.tm_hour, t.tm_min);
    out += time;
    const LiveValues& v = reading.values;
    switch (kind) {
    case SimRecordingKind::Weather:
        AppendTemperature(out, units, v.IndoorTemp);
        AppendWhole(out, v.IndoorHumidity);
        AppendValue(out, FormatPressure(units.pressure, Show::NumberOnly, v.RelBarometer));
        AppendValue(out, FormatPressure(units.pressure, Show::NumberOnly, v.AbsBarometer));
        AppendTemperature(out, units, v.OutdoorTemp);
        AppendWhole(out, v.OutdoorHumidity);
        AppendTemperature(out, units, v.DewPointTemp);
        AppendTemperature(out, units, v.FeelsLikeTemp);
        AppendValue(out, FormatWind(units.wind, Show::NumberOnly, v.WindSpeed));
        AppendValue(out, FormatWind(units.wind, Show::NumberOnly, v.GustSpeed));
        // A bearing of 255 degrees is a real one, so not the percent formatter.
        AppendValue(out, v.WindDir == kLiveWordMissing ? std::string(kMissing) : std::to_string(v.WindDir));
        AppendValue(out, FormatLightNumber(units.light, v.SolarRadiation));
        AppendWhole(out, v.UvIndex);
        AppendRain(out, units, reading.rainLastHour);
        AppendRain(out, units, v.RainToday);
        AppendRain(out, units, v.RainThisWeek);
        AppendRain(out, units, v.RainThisMonth);
        AppendRain(out, units, v.RainThisYear);
        break;
    case SimRecordingKind::Channels:
        AppendTemperature(out, units, v.ChTemp[0]);
        AppendWhole(out, v.ChHumidity[0]);
        AppendTemperature(out, units, ChannelDerived(v, true));
        AppendTemperature(out, units, ChannelDerived(v, false));
        for (std::size_t channel = 1; channel < kChannelCount; ++channel) {
            AppendTemperature(out, units, v.ChTemp[channel]);
            AppendWhole(out, v.ChHumidity[channel]);
        }
        break;
    case SimRecordingKind::Soil:
        AppendWhole(out, v.Soil);
        break;
    }
    out += '\n';
}

}  // namespace vorelle
