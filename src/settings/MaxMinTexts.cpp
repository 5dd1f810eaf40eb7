#include "settings/MaxMinTexts.h"

#include "units/Formatters.h"

#include <functional>

namespace vorelle {

MaxMinTexts ShowMaxMin(const MaxMinRecords& records, const UnitCodes& units)
{
    using Formatter = std::function<std::string(std::int32_t)>;
    const Formatter temperature = [&](std::int32_t v) { return FormatTemperature(units.temperature, Show::WithUnit, v); };
    const Formatter humidity = [](std::int32_t v) { return FormatPercent(PercentFormat::WithSign, v); };
    const Formatter pressure = [&](std::int32_t v) { return FormatPressure(units.pressure, Show::WithUnit, v); };
    const Formatter wind = [&](std::int32_t v) { return FormatWind(units.wind, Show::WithUnit, v); };
    const Formatter light = [&](std::int32_t v) { return FormatLight(units.light, v); };
    const Formatter plain = [](std::int32_t v) { return FormatPercent(PercentFormat::Plain, v); };

    MaxMinTexts texts;
    std::size_t at = 0;
    const auto show = [&](const MaxMinRecord& record, const Formatter& format, bool withMin) {
        texts[at++] = record.present ? format(record.max) : std::string();
        if (withMin)
            texts[at++] = record.present ? format(record.min) : std::string();
    };
    show(records.indoorTemp, temperature, true);
    show(records.outdoorTemp, temperature, true);
    show(records.indoorHumidity, humidity, true);
    show(records.outdoorHumidity, humidity, true);
    show(records.relPressure, pressure, true);
    show(records.absPressure, pressure, true);
    show(records.dewPoint, temperature, true);
    show(records.feelsLike, temperature, false);
    show(records.light, light, false);
    show(records.uvIndex, plain, false);
    show(records.windSpeed, wind, false);
    show(records.gustSpeed, wind, false);
    return texts;
}

}  // namespace vorelle
