#include "store/HistoryValues.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdint>

namespace vorelle {

namespace {

// Beyond this a double no longer holds every integer, and a hundredths count
// would not fit SQLite's integers safely.
constexpr double kLargestWholeNumber = 9007199254740992.0;  // 2^53

static_assert(kRecordColumns[1] == "No" && kRecordColumns[5] == "UV" && kRecordColumns[6] == "InTemp" &&
              kRecordColumns[20] == "Light");

bool IsIntegerColumn(std::size_t column)
{
    return column >= 1 && column <= 5;  // No, InHumi, OutHumi, WindDirection, UV
}

// The stored hundredths of a decimal reading, when reading them back gives
// the very same float.
std::optional<std::int64_t> Hundredths(float value)
{
    if (!(std::fabs(value) < 1e13f) || (value == 0.0f && std::signbit(value)))
        return std::nullopt;
    const std::int64_t hundredths = std::llround(static_cast<double>(value) * 100.0);
    if (static_cast<float>(static_cast<double>(hundredths) / 100.0) != value)
        return std::nullopt;
    return hundredths;
}

}  // namespace

std::optional<std::size_t> ValueColumnIndex(std::string_view name)
{
    const std::optional<std::size_t> index = RecordColumnIndex(name);
    if (!index || *index < kFirstValueColumn)
        return std::nullopt;
    return index;
}

ReadingValues ValuesOf(const WeatherRecord& r)
{
    ReadingValues values;
    const std::int32_t integers[] = {r.no, r.inHumi, r.outHumi, r.windDirection, r.uv};
    const float decimals[] = {r.inTemp,    r.outTemp,     r.wind,        r.gust,     r.dewPoint,
                              r.windChill, r.relPressure, r.absPressure, r.rain,     r.rainHour,
                              r.rainDay,   r.rainWeek,    r.rainMonth,   r.rainYear, r.light};
    std::size_t at = 0;
    for (const std::int32_t value : integers) {
        if (value != kMissingValue)
            values[at] = value;
        ++at;
    }
    for (const float value : decimals) {
        if (value != kMissingFloat && !std::isnan(value))
            values[at] = value;
        ++at;
    }
    return values;
}

void BindStoredValue(sqlite3_stmt* statement, int index, std::size_t column, std::optional<double> value)
{
    if (!value || std::isnan(*value)) {
        sqlite3_bind_null(statement, index);
    } else if (IsIntegerColumn(column)) {
        sqlite3_bind_int64(statement, index, static_cast<std::int64_t>(*value));
    } else if (const std::optional<std::int64_t> hundredths = Hundredths(static_cast<float>(*value))) {
        sqlite3_bind_int64(statement, index, *hundredths);
    } else {
        sqlite3_bind_double(statement, index, *value);
    }
}

std::optional<double> StoredValue(sqlite3_stmt* statement, int index, std::size_t column)
{
    switch (sqlite3_column_type(statement, index)) {
        case SQLITE_NULL: return std::nullopt;
        case SQLITE_INTEGER: {
            const auto stored = static_cast<double>(sqlite3_column_int64(statement, index));
            return IsIntegerColumn(column) ? stored : static_cast<double>(static_cast<float>(stored / 100.0));
        }
        case SQLITE_FLOAT: return sqlite3_column_double(statement, index);
        default: return std::nan("");
    }
}

void BindPlainNumber(sqlite3_stmt* statement, int index, double value)
{
    if (std::fabs(value) < kLargestWholeNumber && value == std::trunc(value))
        sqlite3_bind_int64(statement, index, static_cast<std::int64_t>(value));
    else
        sqlite3_bind_double(statement, index, value);
}

}  // namespace vorelle
