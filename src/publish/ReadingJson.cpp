#include "publish/ReadingJson.h"

#include "board/BoardTexts.h"
#include "publish/QuantityKinds.h"
#include "units/Formatters.h"

#include <cstdio>
#include <ctime>

namespace vorelle {

namespace {

std::string UnitCodesJson(const UnitCodes& u)
{
    char text[128];
    std::snprintf(text, sizeof text, "{\"temperature\": %d, \"pressure\": %d, \"wind\": %d, \"rain\": %d, \"light\": %d}",
                  u.temperature, u.pressure, u.wind, u.rain, u.light);
    return text;
}

// {"name": ..., "raw": ..., "missing": ..., "text": ...} of one quantity.
std::string QuantityJson(const QuantityReading& q)
{
    return "{\"name\": " + JsonQuoted(q.name) + ", \"raw\": " + std::to_string(q.raw) +
           ", \"missing\": " + (q.missing ? "true" : "false") + ", \"text\": " + JsonQuoted(q.text) + "}";
}

// "Key": {...}, one per quantity, each after `separator`.
std::string QuantitiesJson(const LiveReadings::Snapshot& snapshot, std::string_view firstSeparator,
                           std::string_view separator)
{
    std::string out;
    std::string_view before = firstSeparator;
    for (const QuantityReading& q : QuantityReadings(snapshot)) {
        out += before;
        out += JsonQuoted(q.key) + ": " + QuantityJson(q);
        before = separator;
    }
    return out;
}

// The number the board shows for a quantity that has a value: its text up to
// the unit, or for light the whole number in its unit.
std::string ShownNumber(const QuantityReading& q, const UnitCodes& units)
{
    if (KindOf(q.key) == QuantityKind::Light)
        return FormatLightNumber(units.light, q.raw);
    return q.text.substr(0, q.text.find(' '));
}

}  // namespace

std::string JsonQuoted(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string UtcTimeText(std::chrono::system_clock::time_point moment)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(moment);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

std::string LiveJson(const LiveReadings::Snapshot& snapshot, bool simulated)
{
    return std::string("{\n  \"console\": \"") + (simulated ? "simulated" : "usb") + "\",\n  \"units\": " +
           UnitCodesJson(snapshot.values.units) + ",\n  \"quantities\": {" +
           QuantitiesJson(snapshot, "\n    ", ",\n    ") + "\n  }\n}\n";
}

std::string FollowJsonLine(const TimedReading& reading)
{
    return "{\"time\": " + JsonQuoted(UtcTimeText(reading.takenAt)) +
           ", \"units\": " + UnitCodesJson(reading.snapshot.values.units) + ", \"quantities\": {" +
           QuantitiesJson(reading.snapshot, "", ", ") + "}}";
}

std::string StateJson(const TimedReading& reading)
{
    const UnitCodes& u = reading.snapshot.values.units;
    std::string out = "{\"time\": " + JsonQuoted(UtcTimeText(reading.takenAt)) + ", \"units\": {\"temperature\": " +
                      JsonQuoted(TemperatureUnitName(u.temperature)) +
                      ", \"pressure\": " + JsonQuoted(PressureUnitName(u.pressure)) +
                      ", \"wind\": " + JsonQuoted(WindUnitName(u.wind)) +
                      ", \"rain\": " + JsonQuoted(RainUnitName(u.rain)) +
                      ", \"light\": " + JsonQuoted(LightUnitName(u.light)) + "}, \"readings\": {";
    const char* separator = "";
    for (const QuantityReading& q : QuantityReadings(reading.snapshot)) {
        out += separator;
        out += JsonQuoted(q.key) + ": " + (q.missing ? std::string("null") : ShownNumber(q, u));
        separator = ", ";
    }
    return out + "}}";
}

}  // namespace vorelle
