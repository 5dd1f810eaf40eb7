#include "console/StationOptions.h"

#include <ctime>
#include <sstream>

namespace vorelle {

namespace {

bool ParseUnitCodes(const std::string& text, UnitCodes& units)
{
    std::istringstream in(text);
    int codes[5];
    char comma = ',';
    for (int i = 0; i < 5; ++i) {
        if ((i > 0 && (!(in >> comma) || comma != ',')) || !(in >> codes[i]) || codes[i] < 0 || codes[i] > 255)
            return false;
    }
    if (in >> comma)
        return false;
    units = {static_cast<std::uint8_t>(codes[0]), static_cast<std::uint8_t>(codes[1]),
             static_cast<std::uint8_t>(codes[2]), static_cast<std::uint8_t>(codes[3]),
             static_cast<std::uint8_t>(codes[4])};
    return true;
}

// The digits at text[at, at + count) as a number; nothing unless all are digits.
std::optional<int> Digits(const std::string& text, std::size_t at, std::size_t count)
{
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// "YYYY-MM-DDTHH:MM" or "YYYY-MM-DDTHH:MM:SS", a local time that exists.
std::optional<std::chrono::system_clock::time_point> ParseLocalTime(const std::string& text)
{
    const bool withSeconds = text.size() == 19;
    if ((text.size() != 16 && !withSeconds) || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || (withSeconds && text[16] != ':'))
        return std::nullopt;
    const auto year = Digits(text, 0, 4), month = Digits(text, 5, 2), day = Digits(text, 8, 2);
    const auto hour = Digits(text, 11, 2), minute = Digits(text, 14, 2);
    const auto second = withSeconds ? Digits(text, 17, 2) : std::optional<int>(0);
    if (!year || !month || !day || !hour || !minute || !second || *year < 1970)
        return std::nullopt;
    std::tm tm{};
    tm.tm_year = *year - 1900;
    tm.tm_mon = *month - 1;
    tm.tm_mday = *day;
    tm.tm_hour = *hour;
    tm.tm_min = *minute;
    tm.tm_sec = *second;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    // mktime moves a day or hour that does not exist (30 February, the hour
    // skipped when daylight saving starts) to one that does; refuse those.
    if (t == static_cast<std::time_t>(-1) || tm.tm_year != *year - 1900 || tm.tm_mon != *month - 1 ||
        tm.tm_mday != *day || tm.tm_hour != *hour || tm.tm_min != *minute || tm.tm_sec != *second)
        return std::nullopt;
    return std::chrono::system_clock::from_time_t(t);
}

}  // namespace

StationOptions ProgramStation()
{
    StationOptions station;
    station.channels = 3;
    station.soilAndPm25 = true;
    return station;
}

bool StationOptionsGiven(const OptionValues& values)
{
    for (const OptionSpec& option : kStationOptions)
        if (values.Has(option.names))
            return true;
    return false;
}

std::optional<std::string> ReadStationOptions(const OptionValues& values, StationOptions& options)
{
    if (values.Has("--units") && !ParseUnitCodes(values.Value("--units"), options.units))
        return "--units takes five codes 0 to 255 separated by commas, e.g. 1,0,2,1,1";
    if (values.Has("--channels")) {
        const std::string channels = values.Value("--channels");
        if (channels.size() != 1 || channels[0] < '0' || channels[0] > '8')
            return "--channels takes a number from 0 to 8";
        options.channels = channels[0] - '0';
    }
    if (values.Has("--clock")) {
        options.clock = ParseLocalTime(values.Value("--clock"));
        if (!options.clock)
            return "--clock takes a local time that exists, as YYYY-MM-DDTHH:MM or YYYY-MM-DDTHH:MM:SS";
    }
    if (values.Has("--card-days")) {
        const std::string days = values.Value("--card-days");
        const std::optional<int> count =
            days.empty() || days.size() > 4 ? std::nullopt : Digits(days, 0, days.size());
        if (!count || *count < 1 || *count > kMaxCardDays)
            return "--card-days takes a number of days from 1 to " + std::to_string(kMaxCardDays);
        options.cardDays = *count;
    }
    return std::nullopt;
}

}  // namespace vorelle
