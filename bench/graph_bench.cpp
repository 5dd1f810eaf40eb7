// The graph over a year of one-minute readings (525,600 rows in the store):
// "Select" of "Rain fall" (four curves) from the queries to the drawn chart,
// and one zoom step, each with what the pixels can show handed to the chart
// (/1) and with every reading handed to it (/0); and the reduction alone.
// The chart is drawn offscreen, by software, at the dialog's size.
#include "YearRecording.h"
#include "graph/GraphDialog.h"
#include "graph/GraphView.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineSeries>

#include <random>

namespace vorelle {
namespace {

using namespace bench;

// The dialog over the year's store, shown offscreen at its own size.
struct OpenGraph {
    FailOnMessage messages;
    RecordDatabase store = OpenedOrAbort(RecordDatabase::Open(YearRecording::Get().queried));
    std::unique_ptr<GraphDialog> dialog;

    explicit OpenGraph(bool reduce)
    {
        dialog = std::make_unique<GraphDialog>(store, messages);
        dialog->Prepare({RecordingLayout::Main, {"(°C)", "(hPa)", "(mm)", "(m/s)", "(lux)"}});
        dialog->ChooseQuantity(GraphQuantity::RainFall);
        dialog->SetRange({{2024, 1, 1, 0, 0, 0}, {2025, 1, 1, 0, 0, 0}});
        dialog->Chart().SetReduction(reduce);
        dialog->show();
        QApplication::processEvents();
    }

    // Paints the chart as the screen would get it.
    void Draw() const { benchmark::DoNotOptimize(dialog->Chart().grab()); }
};

void BM_SelectRainYear(benchmark::State& state)
{
    OpenGraph graph(state.range(0) != 0);
    for (auto _ : state) {
        if (graph.dialog->Select() != BuildResult::Built)
            state.SkipWithError("the build failed");
        graph.Draw();
    }
    state.counters["points"] = static_cast<double>(graph.dialog->Chart().Series(0).count());
}
BENCHMARK(BM_SelectRainYear)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// One wheel notch in or out around the middle, alternately.
void BM_ZoomStepRainYear(benchmark::State& state)
{
    OpenGraph graph(state.range(0) != 0);
    graph.dialog->Select();
    GraphView& chart = graph.dialog->Chart();
    bool in = true;
    for (auto _ : state) {
        const ValueRange visible = chart.Visible();
        chart.ZoomAround((visible.min + visible.max) / 2, in ? 0.8 : 1.25);
        in = !in;
        graph.Draw();
    }
    state.counters["points"] = static_cast<double>(chart.Series(0).count());
}
BENCHMARK(BM_ZoomStepRainYear)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReduceTwoMillionPoints(benchmark::State& state)
{
    std::mt19937_64 random(1);
    std::normal_distribution<double> noise(0.0, 10.0);
    std::vector<ChartPoint> points(2'000'000);
    for (std::size_t i = 0; i < points.size(); ++i)
        points[i] = {static_cast<double>(i) * 60.0, noise(random)};
    std::vector<ChartPoint> reduced;
    for (auto _ : state) {
        ReduceToPixels(points, points.front().x, points.back().x, 1000, reduced);
        benchmark::DoNotOptimize(reduced.data());
    }
    state.counters["kept"] = static_cast<double>(reduced.size());
}
BENCHMARK(BM_ReduceTwoMillionPoints)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorelle

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
