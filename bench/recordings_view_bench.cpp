// The content list of the recordings dialog over a year of one-minute
// readings: how long one screenful takes to draw after a jump anywhere in
// the list, and after a step of one page. Offscreen, like the tests.
#include "messages/CollectedMessages.h"
#include "recordings/RecordingContent.h"
#include "recordings/RecordingContentModel.h"
#include "recordings/RecordingImport.h"
#include "store/RecordDatabase.h"
#include "support/RecordingGenerator.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace vorelle {
namespace {

constexpr std::uint64_t kYearOfMinutes = 525600;

QApplication& App()
{
    static int argc = 1;
    static char name[] = "vorelle2_ui_bench";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

// The content of a year's recording, split as the import splits it.
std::shared_ptr<const RecordingContent> YearContent()
{
    static const std::shared_ptr<const RecordingContent> content = [] {
        test::RecordingShape shape;
        shape.lines = kYearOfMinutes;
        test::RecordingGenerator generator(shape);
        CollectedMessages quiet;
        StoreResult<RecordDatabase> store = RecordDatabase::OpenInMemory();
        ImportResult result =
            ImportRecordingText(generator.Text(), "2024.csv", DateOrder::DayMonthYear, store.Value(), quiet);
        return std::make_shared<const RecordingContent>(std::move(result.content));
    }();
    return content;
}

// The dialog's content list at its size in the dialog, showing a year.
struct YearView {
    YearView()
    {
        model.Show(YearContent());
        view.setModel(&model);
        view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view.verticalHeader()->setDefaultSectionSize(view.fontMetrics().height() + 4);
        view.verticalHeader()->hide();
        view.horizontalHeader()->setDefaultSectionSize(150);
        view.resize(676, 476);
        view.show();
        QApplication::processEvents();
    }

    void Draw() { view.render(&frame); }

    QApplication& app = App();  // first: widgets need it
    RecordingContentModel model;
    QTableView view;
    QImage frame{676, 476, QImage::Format_RGB32};
};

void BM_ContentViewJumpAnywhere(benchmark::State& state)
{
    YearView year;
    QScrollBar& bar = *year.view.verticalScrollBar();
    std::mt19937 random(1);
    std::uniform_int_distribution<int> anywhere(0, bar.maximum());
    for (auto _ : state) {
        bar.setValue(anywhere(random));
        year.Draw();
    }
    state.counters["rows"] = static_cast<double>(year.model.rowCount());
}
BENCHMARK(BM_ContentViewJumpAnywhere)->Unit(benchmark::kMillisecond);

void BM_ContentViewPageDown(benchmark::State& state)
{
    YearView year;
    QScrollBar& bar = *year.view.verticalScrollBar();
    for (auto _ : state) {
        bar.setValue(bar.value() + bar.pageStep() > bar.maximum() ? 0 : bar.value() + bar.pageStep());
        year.Draw();
    }
}
BENCHMARK(BM_ContentViewPageDown)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorelle
