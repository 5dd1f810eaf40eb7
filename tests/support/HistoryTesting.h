#pragma once

#include "store/HistoryStore.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

namespace vorelle::test {

inline HistoryReading At(const CivilTime& time, float outTemp, std::int32_t outHumi = 50, float rainDay = 0.0f,
                         float gust = 0.0f)
{
    HistoryReading reading{time, {}};
    reading.record.outTemp = outTemp;
    reading.record.outHumi = outHumi;
    reading.record.rainDay = rainDay;
    reading.record.gust = gust;
    return reading;
}

// `count` readings every `intervalMinutes` from `start`, with values (and
// missing ones) that differ with `seed`.
inline std::vector<HistoryReading> GeneratedReadings(const CivilTime& start, int count, int intervalMinutes, int seed)
{
    std::vector<HistoryReading> readings;
    const StoreSeconds first = *StoreSecondsOf(start);
    for (int i = 0; i < count; ++i) {
        const float temperature = static_cast<float>(std::round(150.0 * std::sin(i * 0.37 + seed)) / 10.0);
        readings.push_back(At(CivilTimeAtStoreSeconds(first + i * intervalMinutes * 60LL),
                              (i * seed) % 17 == 5 ? kMissingFloat : temperature,
                              (i + seed) % 23 == 0 ? kMissingValue : 40 + (i * 7 + seed) % 50,
                              0.1f * static_cast<float>((i * seed) % 40)));
    }
    return readings;
}

inline HistoryStore OpenHistory(const std::filesystem::path& file)
{
    StoreResult<HistoryStore> store = HistoryStore::Open(file);
    EXPECT_TRUE(store) << store.Error();
    return std::move(store.Value());
}

inline std::vector<StorePoint> AllReadings(HistoryStore& store, std::string_view column)
{
    const StoreResult<std::vector<StorePoint>> points =
        store.Readings(RecordingLayout::Main, column, {1900, 1, 1, 0, 0, 0}, {9999, 1, 1, 0, 0, 0});
    EXPECT_TRUE(points) << points.Error();
    return points ? points.Value() : std::vector<StorePoint>();
}

// Runs `sql` as another program would: its own connection, triggers on.
inline std::string ExecuteRaw(const std::filesystem::path& file, const std::string& sql)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.string().c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::string rows;
    char* failure = nullptr;
    const auto collect = [](void* out, int columns, char** values, char**) {
        for (int i = 0; i < columns; ++i)
            *static_cast<std::string*>(out) +=
                std::string(values[i] ? values[i] : "NULL") + (i + 1 < columns ? "|" : "\n");
        return 0;
    };
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), collect, &rows, &failure), SQLITE_OK)
        << (failure ? failure : "") << " in " << sql;
    sqlite3_free(failure);
    sqlite3_close(db);
    return rows;
}

// Every table of the history, row by row: what "the history as it was" means.
inline std::vector<std::string> DumpHistory(const std::filesystem::path& file)
{
    std::vector<std::string> tables;
    for (const char* table : {"MainReadings", "ChannelReadings", "SoilReadings", "Summaries", "Meta"})
        tables.push_back(ExecuteRaw(file, std::string("SELECT * FROM ") + table + " ORDER BY 1"));
    return tables;
}

}  // namespace vorelle::test
