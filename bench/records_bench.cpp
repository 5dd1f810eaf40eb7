// A year of one-minute readings (525,600 lines of the main layout): imported
// into a fresh record store, side by side with the sqlite3 shell's own CSV
// import of the same file into a fresh copy of the same store; then the
// graph's three queries over the whole year. Wall-clock time throughout: the
// shell runs in a child process, whose CPU time the benchmark would not see.
#include "YearRecording.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vorelle {
namespace {

using namespace bench;


void BM_ImportYear(benchmark::State& state)
{
    const auto& year = YearRecording::Get();
    const fs::path store = year.dir / "imported.db";
    FailOnMessage messages;
    std::uint64_t rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        YearRecording::FreshStore(store);
        state.ResumeTiming();
        rows = ImportRecording({year.csv, year.csv.filename().string(), store, DateOrder::DayMonthYear}, messages)
                   .summary.rowsStored;
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(year.csv)));
}
BENCHMARK(BM_ImportYear)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SqliteShellImport(benchmark::State& state)
{
    const auto& year = YearRecording::Get();
    const fs::path store = year.dir / "shell.db";
    const std::string command = "sqlite3 '" + store.string() + "' \".import --csv '" + year.csv.string() + "' staging\"";
    for (auto _ : state) {
        state.PauseTiming();
        YearRecording::FreshStore(store);
        state.ResumeTiming();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("the sqlite3 shell failed or is not on PATH");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(year.csv)));
}
BENCHMARK(BM_SqliteShellImport)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same import as vorelle2-cli runs it, in a process of its own, with the
// peak memory the kernel reports for that process. GNU time starts it: a
// process spawned straight from this one would count this one's own peak as
// its own (the kernel keeps the peak of the memory that exec replaced, and
// posix_spawn shares this process's memory until then), so the figure would
// be the benchmark's imports in memory rather than the command's.
void BM_ImportYearCli(benchmark::State& state)
{
    const auto& year = YearRecording::Get();
    const std::string store = (year.dir / "cli.db").string();
    const std::string csv = year.csv.string();
    const std::string peakFile = (year.dir / "cli-peak.txt").string();
    char* const argv[] = {const_cast<char*>("time"),   const_cast<char*>("-f"),     const_cast<char*>("%M"),
                          const_cast<char*>("-o"),     const_cast<char*>(peakFile.c_str()),
                          const_cast<char*>(VORELLE2_CLI),
                          const_cast<char*>("import"), const_cast<char*>(csv.c_str()), const_cast<char*>("--db"),
                          const_cast<char*>(store.c_str()), nullptr};
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    long peakKiB = 0;
    for (auto _ : state) {
        state.PauseTiming();
        YearRecording::FreshStore(store);
        state.ResumeTiming();
        pid_t child = 0;
        int status = 0;
        long childPeakKiB = 0;
        if (posix_spawn(&child, "/usr/bin/time", &quiet, nullptr, argv, environ) != 0 ||
            waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
            !(std::ifstream(peakFile) >> childPeakKiB)) {
            state.SkipWithError("vorelle2-cli import failed, or GNU time (/usr/bin/time) is missing");
            break;
        }
        peakKiB = std::max(peakKiB, childPeakKiB);
    }
    posix_spawn_file_actions_destroy(&quiet);
    state.counters["peak_MiB"] = static_cast<double>(peakKiB) / 1024.0;
}
BENCHMARK(BM_ImportYearCli)->Unit(benchmark::kMillisecond)->UseRealTime();

// The year's store after another program changed one of its rows: the store
// no longer vouches for the order of its rows, and the queries find them by
// their times alone.
fs::path ChangedYear()
{
    static const fs::path changed = [] {
        const auto& year = YearRecording::Get();
        const fs::path path = year.dir / "changed.db";
        fs::copy_file(year.queried, path, fs::copy_options::overwrite_existing);
        sqlite3* db = nullptr;
        if (sqlite3_open(path.string().c_str(), &db) != SQLITE_OK ||
            sqlite3_exec(db, "UPDATE Records SET No = 1 WHERE rowid = 1", nullptr, nullptr, nullptr) != SQLITE_OK)
            std::abort();
        sqlite3_close(db);
        return path;
    }();
    return changed;
}

// Each query runs as the graph runs it: open the store, ask, take every
// value of the answer; in the store as imported (argument 0), or as another
// program left it (1).
template <typename Query>
void RunQuery(benchmark::State& state, Query query)
{
    const fs::path store = state.range(0) ? ChangedYear() : YearRecording::Get().queried;
    std::uint64_t rows = 0;
    for (auto _ : state) {
        RecordDatabase db = OpenedOrAbort(RecordDatabase::Open(store));
        rows = query(db);
    }
    state.counters["rows"] = static_cast<double>(rows);
}

// The answer, or the run ends.
template <typename T>
T AnswerOrAbort(StoreResult<T> answer)
{
    if (!answer) {
        std::fprintf(stderr, "bench: %s\n", answer.Error().c_str());
        std::abort();
    }
    benchmark::DoNotOptimize(answer.Value());
    return std::move(answer.Value());
}

void BM_QueryRangeYear(benchmark::State& state)
{
    RunQuery(state, [](RecordDatabase& db) {
        return AnswerOrAbort(db.QueryRange("OutTemp", kYearStart, kYearEnd)).size();
    });
}
BENCHMARK(BM_QueryRangeYear)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_QueryCountYear(benchmark::State& state)
{
    RunQuery(state, [](RecordDatabase& db) {
        AnswerOrAbort(db.QueryCount("OutTemp", kYearStart, kYearEnd));
        return 1;
    });
}
BENCHMARK(BM_QueryCountYear)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_QueryMaxMinYear(benchmark::State& state)
{
    RunQuery(state, [](RecordDatabase& db) {
        AnswerOrAbort(db.QueryMaxMin("OutTemp", kYearStart, kYearEnd));
        return 1;
    });
}
BENCHMARK(BM_QueryMaxMinYear)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace vorelle
