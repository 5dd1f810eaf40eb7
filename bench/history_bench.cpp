// The lasting history: a graph's read over ten years of one-minute readings
// and over one hour of them, a day merged into the ten years, the bytes a
// reading takes on disk, and a year of daily recordings merged into a new
// history beside the sqlite3 shell's own import of the same files.
// Wall-clock time throughout: the shell runs in a child process.
#include "HistoryBenchData.h"

#include "recordings/HistoryRebuild.h"
#include "store/HistoryGraph.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <random>

#include <sys/resource.h>

namespace vorelle {
namespace {

using namespace bench;

constexpr int kChartWidth = 933;

// A folder of its own for the run, removed at its end.
const fs::path& RunFolder()
{
    static const struct Folder {
        Folder()
        {
            std::random_device device;
            path = fs::temp_directory_path() / ("vorelle2-history-bench-" + std::to_string(device()));
            fs::create_directories(path);
        }
        ~Folder()
        {
            std::error_code error;
            fs::remove_all(path, error);
        }
        fs::path path;
    } folder;
    return folder.path;
}

void GraphRead(benchmark::State& state, const CivilTime& from, const CivilTime& to)
{
    StoreResult<HistoryStore> opened = HistoryStore::Open(TenYearHistory());
    HistoryStore& store = Must(opened);
    std::size_t buckets = 0;
    for (auto _ : state) {
        StoreResult<HistoryGraph> graph =
            ReadForGraph(store, RecordingLayout::Main, "OutTemp", from, to, kChartWidth);
        buckets = Must(graph).buckets.size();
    }
    state.counters["buckets"] = static_cast<double>(buckets);
}

void BM_HistoryGraphTenYears(benchmark::State& state)
{
    GraphRead(state, kTenYearsStart, {2024, 1, 1, 0, 0, 0});
}
BENCHMARK(BM_HistoryGraphTenYears)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_HistoryGraphOneHour(benchmark::State& state)
{
    GraphRead(state, {2019, 6, 15, 12, 0, 0}, {2019, 6, 15, 13, 0, 0});
}
BENCHMARK(BM_HistoryGraphOneHour)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The file's bytes per reading, and the part the summaries take (from
// SQLite's page statistics).
void BM_HistoryBytesPerReading(benchmark::State& state)
{
    const fs::path& file = TenYearHistory();
    double summaryBytes = 0.0;
    for (auto _ : state) {
        sqlite3* db = nullptr;
        sqlite3_stmt* pages = nullptr;
        sqlite3_open_v2(file.string().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        if (sqlite3_prepare_v2(db, "SELECT sum(pgsize) FROM dbstat WHERE name LIKE '%Summaries%'", -1, &pages,
                               nullptr) == SQLITE_OK &&
            sqlite3_step(pages) == SQLITE_ROW)
            summaryBytes = sqlite3_column_double(pages, 0);
        sqlite3_finalize(pages);
        sqlite3_close(db);
    }
    const double readings = static_cast<double>(kTenYearsDays) * kMinutesOfDay;
    state.counters["bytes_per_reading"] = static_cast<double>(fs::file_size(file)) / readings;
    state.counters["summary_bytes_per_reading"] = summaryBytes / readings;
}
BENCHMARK(BM_HistoryBytesPerReading)->Iterations(1);

// Each iteration merges the next day after the ten years into a copy of
// them.
void BM_HistoryMergeDay(benchmark::State& state)
{
    const fs::path copy = RunFolder() / "merged-into.db";
    fs::copy_file(TenYearHistory(), copy, fs::copy_options::overwrite_existing);
    StoreResult<HistoryStore> opened = HistoryStore::Open(copy);
    HistoryStore& store = Must(opened);
    DailyRecordings days({2024, 1, 1, 0, 0, 0});
    MergeCounts counts;
    for (auto _ : state) {
        state.PauseTiming();
        const std::vector<HistoryReading> day = ReadingsOfText(days.NextDay());
        state.ResumeTiming();
        StoreResult<MergeCounts> merged = store.Merge(RecordingLayout::Main, day);
        counts = Must(merged);
    }
    state.counters["added"] = static_cast<double>(counts.added);
}
BENCHMARK(BM_HistoryMergeDay)->Unit(benchmark::kMillisecond)->UseRealTime();

// A year of daily recordings (2023), written once.
const std::vector<fs::path>& YearOfDailyFiles()
{
    static const std::vector<fs::path> files = [] {
        std::vector<fs::path> written;
        fs::create_directories(RunFolder() / "year");
        DailyRecordings days({2023, 1, 1, 0, 0, 0});
        for (int day = 0; day < 365; ++day) {
            char name[32];
            std::snprintf(name, sizeof name, "2023-%03d.csv", day + 1);
            written.push_back(RunFolder() / "year" / name);
            const std::string text = days.NextDay();
            std::ofstream(written.back(), std::ios::binary)
                .write(text.data(), static_cast<std::streamsize>(text.size()));
        }
        return written;
    }();
    return files;
}

void RemoveDatabase(const fs::path& file)
{
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        fs::remove(file.string() + suffix);
}

// `history rebuild` of the data folder's year of daily recordings into a
// new history: every recording read, its lines taken apart and merged,
// oldest first.
void BM_HistoryRebuildYear(benchmark::State& state)
{
    const fs::path folder = YearOfDailyFiles().front().parent_path();
    const fs::path file = RunFolder() / "rebuilt.db";
    std::uint64_t added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        RemoveDatabase(file);
        state.ResumeTiming();
        StoreResult<HistoryStore> opened = HistoryStore::Open(file);
        StoreResult<RebuildSummary> rebuilt = RebuildHistory(folder, Must(opened), DateOrder::DayMonthYear);
        added = Must(rebuilt).readings.added;
    }
    state.counters["readings"] = static_cast<double>(added);
}
BENCHMARK(BM_HistoryRebuildYear)->Unit(benchmark::kMillisecond)->UseRealTime();

// The summaries of that year computed again from its readings.
void BM_HistoryRebuildSummariesYear(benchmark::State& state)
{
    const fs::path file = RunFolder() / "rebuilt.db";
    if (!fs::exists(file)) {
        state.SkipWithError("run BM_HistoryRebuildYear first");
        return;
    }
    StoreResult<HistoryStore> opened = HistoryStore::Open(file);
    HistoryStore& store = Must(opened);
    for (auto _ : state) {
        StoreResult<std::uint64_t> rebuilt = store.RebuildSummaries();
        Must(rebuilt);
    }
}
BENCHMARK(BM_HistoryRebuildSummariesYear)->Unit(benchmark::kMillisecond)->UseRealTime();

// The sqlite3 shell's CSV import of the same 365 files into one table, each
// file a .import of its own after the table is made from the header.
void BM_SqliteShellImportYearOfDays(benchmark::State& state)
{
    const std::vector<fs::path>& files = YearOfDailyFiles();
    const fs::path file = RunFolder() / "shell.db";
    const fs::path script = RunFolder() / "import.sql";
    {
        std::ofstream out(script);
        out << ".import --csv '" << files.front().string() << "' staging\n";
        for (std::size_t i = 1; i < files.size(); ++i)
            out << ".import --csv --skip 1 '" << files[i].string() << "' staging\n";
    }
    const std::string command = "sqlite3 '" + file.string() + "' < '" + script.string() + "'";
    rusage before{};
    getrusage(RUSAGE_CHILDREN, &before);
    for (auto _ : state) {
        state.PauseTiming();
        RemoveDatabase(file);
        state.ResumeTiming();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("the sqlite3 shell failed or is not on PATH");
            break;
        }
    }
    rusage after{};
    getrusage(RUSAGE_CHILDREN, &after);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    state.counters["shell_cpu_s"] =
        (seconds(after.ru_utime) + seconds(after.ru_stime) - seconds(before.ru_utime) - seconds(before.ru_stime)) /
        static_cast<double>(std::max<std::int64_t>(state.iterations(), 1));
}
BENCHMARK(BM_SqliteShellImportYearOfDays)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace vorelle
