#pragma once

// What the history's benchmarks read and merge: daily main recordings of
// one-minute readings as the console writes them, made by the tests'
// recording generator, and a ten-year history made of them once and kept in
// the build folder.
#include "recordings/RecordingReadings.h"
#include "store/HistoryStore.h"
#include "support/RecordingGenerator.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace vorelle::bench {

namespace fs = std::filesystem;

inline constexpr CivilTime kTenYearsStart{2014, 1, 1, 0, 0, 0};
inline constexpr int kTenYearsDays = 3652;  // 2014-01-01 up to 2024-01-01
inline constexpr int kMinutesOfDay = 1440;

template <typename T>
T& Must(StoreResult<T>& result)
{
    if (!result) {
        std::fprintf(stderr, "bench: %s\n", result.Error().c_str());
        std::abort();
    }
    return result.Value();
}

// The readings of a day's main recording, as every merge reads them.
inline std::vector<HistoryReading> ReadingsOfText(std::string text)
{
    return ReadRecordingReadings(std::move(text), "main.csv", DateOrder::DayMonthYear).readings;
}

// Day after day of one-minute main recordings from `start`, the rain totals
// running on from one day to the next.
class DailyRecordings {
public:
    explicit DailyRecordings(const CivilTime& start) : generator_(Shape(start)) {}

    std::string NextDay()
    {
        std::string text = generator_.Header() + "\r\n";
        for (int minute = 0; minute < kMinutesOfDay; ++minute)
            text += generator_.Line(next_++) + "\r\n";
        return text;
    }

private:
    static test::RecordingShape Shape(const CivilTime& start)
    {
        test::RecordingShape shape;
        shape.start = start;
        shape.missingShare = 0.002;
        return shape;
    }

    test::RecordingGenerator generator_;
    std::uint64_t next_ = 0;
};

// Ten years of one-minute main readings (5.26 million), merged day by day
// into a history once and kept in the build folder, as long as the file is
// there.
inline const fs::path& TenYearHistory()
{
    static const fs::path file = [] {
        const fs::path cached = fs::path(VORELLE2_BENCH_CACHE) / "ten-years-history.db";
        if (fs::exists(cached))
            return cached;
        std::fprintf(stderr, "bench: making %s once; it takes a few minutes\n", cached.string().c_str());
        fs::create_directories(cached.parent_path());
        const fs::path partial = cached.string() + ".partial";
        for (const char* suffix : {"", "-wal", "-shm"})
            fs::remove(partial.string() + suffix);
        {
            StoreResult<HistoryStore> opened = HistoryStore::Open(partial);
            HistoryStore& store = Must(opened);
            DailyRecordings days(kTenYearsStart);
            for (int day = 0; day < kTenYearsDays; ++day) {
                const RecordingReadings read =
                    ReadRecordingReadings(days.NextDay(), "main.csv", DateOrder::DayMonthYear);
                StoreResult<MergeCounts> merged =
                    store.Merge(RecordingLayout::Main, read.readings, {}, nullptr, &read.labels);
                Must(merged);
            }
        }
        fs::rename(partial, cached);
        return cached;
    }();
    return file;
}

}  // namespace vorelle::bench
