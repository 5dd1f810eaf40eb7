// The history's graph over ten years of one-minute readings (5.26 million):
// one wheel notch of the History dialog at spans from ten years to minutes,
// read again from the history and drawn offscreen at the dialog's size; and
// `vorelle2 --plot Temperature --history` over the ten years beside the same
// over one hour, each a process of its own, its start included, with its
// peak memory as GNU time gives it.
#include "HistoryBenchData.h"
#include "YearRecording.h"
#include "graph/GraphDialog.h"
#include "graph/GraphView.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <chrono>
#include <fstream>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vorelle {
namespace {

using namespace bench;

constexpr CivilTime kTenYearsEnd{2024, 1, 1, 0, 0, 0};

// The History dialog over the ten years, on the range of `span` seconds up
// to their end, drawn, shown offscreen at its own size.
struct HistoryWindow {
    FailOnMessage messages;
    StoreResult<HistoryStore> opened = HistoryStore::Open(TenYearHistory());
    std::unique_ptr<GraphDialog> dialog;

    explicit HistoryWindow(StoreSeconds span)
    {
        dialog = std::make_unique<GraphDialog>(Must(opened), messages);
        dialog->show();
        dialog->PrepareHistory();
        const StoreSeconds end = *StoreSecondsOf(kTenYearsEnd);
        dialog->SetRange({CivilTimeAtStoreSeconds(end - span), kTenYearsEnd});
        dialog->Select();
        QApplication::processEvents();
    }
};

// One wheel notch in or out around the middle, alternately: the history read
// again for the new view, reduced and painted.
void BM_HistoryWheelStep(benchmark::State& state)
{
    HistoryWindow window(state.range(0));
    GraphView& chart = window.dialog->Chart();
    bool in = true;
    for (auto _ : state) {
        const ValueRange visible = chart.Visible();
        chart.ZoomAround((visible.min + visible.max) / 2, in ? 0.8 : 1.25);
        in = !in;
        benchmark::DoNotOptimize(chart.grab());
    }
    state.counters["points"] = static_cast<double>(chart.Series(0).count());
}
BENCHMARK(BM_HistoryWheelStep)
    ->ArgName("seconds")
    ->Arg(3652LL * kHistoryDay)
    ->Arg(365LL * kHistoryDay)
    ->Arg(150LL * kHistoryDay)
    ->Arg(30LL * kHistoryDay)
    ->Arg(7LL * kHistoryDay)
    ->Arg(60LL * kHistoryHour)
    ->Arg(kHistoryDay)
    ->Arg(kHistoryHour)
    ->Arg(600)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A data folder whose History.db is a copy of the ten years, made once.
const fs::path& PlotDataFolder()
{
    static const fs::path folder = [] {
        const fs::path dir = fs::path(VORELLE2_BENCH_CACHE) / "plot-data";
        const fs::path history = dir / kHistoryFile;
        if (!fs::exists(history)) {
            fs::create_directories(dir);
            const fs::path partial = history.string() + ".partial";
            fs::copy_file(TenYearHistory(), partial, fs::copy_options::overwrite_existing);
            fs::rename(partial, history);
        }
        return dir;
    }();
    return folder;
}

// `vorelle2 --plot Temperature --history` over (from, to] under GNU time: its
// wall-clock seconds, or a negative number when it failed; its peak memory
// (KiB) raises `peakKiB`.
double TimedPlot(const char* from, const char* to, long& peakKiB)
{
    const std::string png = (PlotDataFolder() / "plot.png").string();
    const std::string peakFile = (PlotDataFolder() / "peak.txt").string();
    const char* const argv[] = {"time",      "-f",   "%M",     "-o",  peakFile.c_str(), VORELLE2_PROGRAM, "--plot",
                                "Temperature", "--history", "--from", from, "--to", to, "--png", png.c_str(), nullptr};
    std::vector<std::string> environment = {"VORELLE2_DATA_DIR=" + PlotDataFolder().string(),
                                            "QT_QPA_PLATFORM=offscreen"};
    for (char** variable = environ; *variable; ++variable)
        environment.emplace_back(*variable);
    std::vector<char*> envp;
    for (std::string& variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const auto started = std::chrono::steady_clock::now();
    pid_t child = 0;
    int status = 0;
    const bool ran = posix_spawn(&child, "/usr/bin/time", &quiet, nullptr, const_cast<char* const*>(argv),
                                 envp.data()) == 0 &&
                     waitpid(child, &status, 0) == child;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    posix_spawn_file_actions_destroy(&quiet);
    long childPeakKiB = 0;
    if (!ran || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || !(std::ifstream(peakFile) >> childPeakKiB))
        return -1.0;
    peakKiB = std::max(peakKiB, childPeakKiB);
    return seconds;
}

// The ten years and the hour in turn, so that both meet the same machine.
void BM_PlotHistoryTenYearsBesideOneHour(benchmark::State& state)
{
    PlotDataFolder();
    double tenYears = 0.0;
    double oneHour = 0.0;
    long peakKiB = 0;
    for (auto _ : state) {
        const double years = TimedPlot("2014-01-01 0:00:00", "2024-01-01 0:00:00", peakKiB);
        const double hour = TimedPlot("2019-06-15 12:00:00", "2019-06-15 13:00:00", peakKiB);
        if (years < 0.0 || hour < 0.0) {
            state.SkipWithError("vorelle2 --plot failed, or GNU time (/usr/bin/time) is missing");
            break;
        }
        tenYears += years;
        oneHour += hour;
    }
    using benchmark::Counter;
    state.counters["ten_years_ms"] = Counter(tenYears * 1000.0, Counter::kAvgIterations);
    state.counters["one_hour_ms"] = Counter(oneHour * 1000.0, Counter::kAvgIterations);
    state.counters["ratio"] = oneHour > 0.0 ? tenYears / oneHour : 0.0;
    state.counters["peak_MiB"] = static_cast<double>(peakKiB) / 1024.0;
}
BENCHMARK(BM_PlotHistoryTenYearsBesideOneHour)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace vorelle
