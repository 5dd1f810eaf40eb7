#pragma once

// What the history's benchmarks read and merge: daily main recordings of
// one-minute readings as the console writes them, made by the tests'
// recording generator, and a ten-year history made of them once and kept in
// the build folder.
#include "recordings/RecordingContent.h"
#include "recordings/RecordingLine.h"
#include "recordings/RecordingUnits.h"
#include "store/HistoryStore.h"
#include "support/RecordingGenerator.h"

#include <array>
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

// The readings of a recording's text, as an import would hand them to a
// merge: every line whose time can be read, in the file's order.
inline std::vector<HistoryReading> ReadingsOfText(std::string text)
{
    RecordingContent content(std::move(text));
    std::vector<HistoryReading> readings;
    std::array<std::string_view, kMaxRecordingColumns> fields;
    const std::span<std::string_view> lineFields(fields.data(), content.ColumnCount());
    for (std::size_t at = content.BodyStart(); at < content.Text().size();) {
        const TextLine line = LineAt(content.Text(), at);
        at = line.next;
        if (line.end == line.begin)
            continue;
        content.AppendRow(line.begin, line.end);
        content.Cells(content.RowCount() - 1, lineFields);
        if (const std::optional<CivilTime> time = ParseRecordTime(fields[0], DateOrder::DayMonthYear))
            readings.push_back({*time, RecordFromFields(RecordingLayout::Main, lineFields)});
    }
    return readings;
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
            std::string day;
            for (int index = 0; index < kTenYearsDays; ++index) {
                day = days.NextDay();
                StoreResult<MergeCounts> merged = store.Merge(RecordingLayout::Main, ReadingsOfText(day));
                Must(merged);
            }
            StoreResult<StoreDone> noted = store.NoteUnits(RecordingLayout::Main, UnitLabelsOf(RecordingContent(day)),
                                                           {2023, 12, 31, 23, 59, 0});
            Must(noted);
        }
        fs::rename(partial, cached);
        return cached;
    }();
    return file;
}

}  // namespace vorelle::bench
