#pragma once

#include "store/RecordDatabase.h"
#include "store/RecordStoreSchema.h"
#include "store/RecordTime.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <charconv>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace vorelle {

inline void PrintTo(const CivilTime& time, std::ostream* os)
{
    *os << FormatRecordTime(time);
}

inline void PrintTo(const WeatherRecord& r, std::ostream* os)
{
    *os << FormatRecordTime(CivilTimeOf(r.time)) << " No " << r.no << " InHumi " << r.inHumi << " OutHumi "
        << r.outHumi << " WindDirection " << r.windDirection << " UV " << r.uv << " InTemp " << r.inTemp
        << " OutTemp " << r.outTemp << " Wind " << r.wind << " Gust " << r.gust << " DewPoint " << r.dewPoint
        << " WindChill " << r.windChill << " RelPressure " << r.relPressure << " AbsPressure " << r.absPressure
        << " Rain " << r.rain << " RainHour " << r.rainHour << " RainDay " << r.rainDay << " RainWeek "
        << r.rainWeek << " RainMonth " << r.rainMonth << " RainYear " << r.rainYear << " Light " << r.light;
}

namespace test {

// A fresh empty record store file at `path`.
inline void MakeEmptyStore(const std::filesystem::path& path)
{
    ASSERT_EQ(CreateEmptyRecordStore(path), "");
}

// The store at `path`, which must open.
inline RecordDatabase OpenStore(const std::filesystem::path& path, StoreAccess access = StoreAccess::Read)
{
    StoreResult<RecordDatabase> store = RecordDatabase::Open(path, access);
    EXPECT_TRUE(store) << store.Error();
    return std::move(store.Value());
}

// Every row of the store's Records table in rowid order, read with SQLite
// itself rather than through RecordDatabase.
inline std::vector<WeatherRecord> StoredRecords(const std::filesystem::path& store)
{
    std::vector<WeatherRecord> records;
    sqlite3* db = nullptr;
    sqlite3_stmt* rows = nullptr;
    EXPECT_EQ(sqlite3_open_v2(store.string().c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    EXPECT_EQ(sqlite3_prepare_v2(db,
                                 "SELECT Time, No, InHumi, OutHumi, WindDirection, UV, InTemp, OutTemp, Wind, Gust, "
                                 "DewPoint, WindChill, RelPressure, AbsPressure, Rain, RainHour, RainDay, RainWeek, "
                                 "RainMonth, RainYear, Light FROM Records ORDER BY rowid",
                                 -1, &rows, nullptr),
              SQLITE_OK)
        << sqlite3_errmsg(db);
    while (sqlite3_step(rows) == SQLITE_ROW) {
        WeatherRecord r;
        r.time = sqlite3_column_double(rows, 0);
        std::int32_t* integers[] = {&r.no, &r.inHumi, &r.outHumi, &r.windDirection, &r.uv};
        for (int i = 0; i < 5; ++i)
            *integers[i] = sqlite3_column_int(rows, 1 + i);
        float* floats[] = {&r.inTemp,      &r.outTemp, &r.wind,     &r.gust,    &r.dewPoint,
                           &r.windChill,   &r.relPressure, &r.absPressure, &r.rain, &r.rainHour,
                           &r.rainDay,     &r.rainWeek, &r.rainMonth, &r.rainYear, &r.light};
        for (int i = 0; i < 15; ++i)
            *floats[i] = static_cast<float>(sqlite3_column_double(rows, 6 + i));
        records.push_back(r);
    }
    sqlite3_finalize(rows);
    sqlite3_close(db);
    return records;
}

// One row of a QueryRange: its time as text and the queried value.
struct StoredReading {
    std::string time;
    double value;

    friend bool operator==(const StoredReading&, const StoredReading&) = default;
    friend void PrintTo(const StoredReading& r, std::ostream* os) { *os << r.time << " " << r.value; }
};

// A plain second reading of a recording's text (CR LF lines, times without
// seconds as the generator writes them): the readings of one column that are
// numbers, each with its time, between `start` (excluded) and `end`
// (included), both written "YYYY-MM-DD HH:MM:SS".
inline std::vector<StoredReading> ReadingsInText(const std::string& text, std::size_t column,
                                                 const std::string& start = "0000", const std::string& end = "9999")
{
    std::vector<StoredReading> readings;
    for (std::size_t at = text.find('\n') + 1; at < text.size();) {
        const std::size_t stop = text.find("\r\n", at);
        std::vector<std::string> fields;
        for (std::size_t from = at; from <= stop;) {
            const std::size_t comma = std::min(text.find(',', from), stop);
            fields.push_back(text.substr(from, comma - from));
            from = comma + 1;
        }
        const std::string time = fields[0] + ":00";
        float value = 0;
        const std::string& field = fields.at(column);
        if (time > start && time <= end &&
            std::from_chars(field.data(), field.data() + field.size(), value).ec == std::errc())
            readings.push_back({time, value});
        at = stop + 2;
    }
    return readings;
}

// What the graph learns about `column` from `start` to `end`: its three
// queries, each expected to succeed.
struct QueryAnswer {
    std::optional<double> count;
    std::optional<double> max;
    std::optional<double> min;
    std::vector<StoredReading> rows;
};

inline QueryAnswer AskStore(const std::filesystem::path& store, const std::string& column, const std::string& startText,
                            const std::string& endText)
{
    const CivilTime start = ParseRecordTime(startText, DateOrder::DayMonthYear).value();
    const CivilTime end = ParseRecordTime(endText, DateOrder::DayMonthYear).value();
    RecordDatabase db = OpenStore(store);
    QueryAnswer answer;
    const StoreResult<std::uint64_t> count = db.QueryCount(column, start, end);
    const StoreResult<std::optional<ValueExtremes>> extremes = db.QueryMaxMin(column, start, end);
    const StoreResult<std::vector<StorePoint>> rows = db.QueryRange(column, start, end);
    EXPECT_TRUE(count && extremes && rows) << (!count ? count.Error() : !extremes ? extremes.Error() : rows.Error());
    if (count)
        answer.count = static_cast<double>(count.Value());
    if (extremes && extremes.Value()) {
        answer.max = extremes.Value()->max;
        answer.min = extremes.Value()->min;
    }
    for (const StorePoint& point : rows ? rows.Value() : std::vector<StorePoint>())
        answer.rows.push_back({FormatRecordTime(CivilTimeAtStoreSeconds(point.seconds)), point.value});
    return answer;
}

}  // namespace test
}  // namespace vorelle
