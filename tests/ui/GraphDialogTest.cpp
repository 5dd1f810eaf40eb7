#include "graph/GraphDialog.h"

#include "graph/GraphView.h"
#include "recordings/RecordingImport.h"
#include "store/RecordDatabase.h"
#include "support/HistoryTesting.h"
#include "support/MessageRecorder.h"
#include "support/RecordStoreTesting.h"
#include "support/RecordingGenerator.h"
#include "support/TempFolder.h"

#include <QChart>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QValueAxis>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cstdlib>

namespace vorelle {
namespace {

// A store holding a generated recording, and the graph over it, shown
// offscreen.
class GraphDialogTest : public ::testing::Test {
protected:
    void Import(const test::RecordingShape& shape, const std::string& name)
    {
        if (!std::filesystem::exists(storeFile))
            test::MakeEmptyStore(storeFile);
        if (!store)
            store.emplace(test::OpenStore(storeFile, StoreAccess::Write));
        const ImportResult imported = ImportRecordingText(test::RecordingGenerator(shape).Text(), name,
                                                          DateOrder::DayMonthYear, *store, messages);
        ASSERT_EQ(imported.status, ImportStatus::Imported);
        labels = imported.labels;
        layout = shape.layout;
    }

    GraphDialog& Open()
    {
        dialog = std::make_unique<GraphDialog>(*store, messages);
        dialog->Prepare({layout, labels});
        dialog->resize(dialog->sizeHint());
        dialog->show();
        QCoreApplication::processEvents();
        return *dialog;
    }

    void Select(GraphQuantity quantity, const TimeRange& range)
    {
        ASSERT_TRUE(dialog->ChooseQuantity(quantity));
        dialog->SetRange(range);
        ASSERT_EQ(dialog->Select(), BuildResult::Built);
        QCoreApplication::processEvents();
    }

    // The History dialog over `history`, laid out before it reads.
    void OpenHistory(HistoryStore& history)
    {
        dialog = std::make_unique<GraphDialog>(history, messages);
        dialog->resize(dialog->sizeHint());
        dialog->show();
        QCoreApplication::processEvents();
        dialog->PrepareHistory();
        QCoreApplication::processEvents();
    }

    bool InLegend(std::size_t series) const
    {
        GraphView& chart = dialog->Chart();
        return chart.chart()->legend()->markers(&chart.Series(series)).at(0)->isVisible();
    }

    QStringList Entries() const
    {
        auto* list = dialog->findChild<QComboBox*>("quantity");
        QStringList entries;
        for (int i = 0; i < list->count(); ++i)
            entries << list->itemText(i);
        return entries;
    }

    // Keeps a picture for a person to look at when VORELLE2_TEST_PICTURES
    // names a folder.
    void KeepPicture(const QString& name) const
    {
        if (const char* folder = std::getenv("VORELLE2_TEST_PICTURES"))
            dialog->grab().save(QString::fromUtf8(folder) + QLatin1Char('/') + name);
    }

    test::TempFolder folder;
    std::filesystem::path storeFile = folder.Path() / "QM710.db";
    test::MessageRecorder messages;
    std::optional<RecordDatabase> store;
    UnitLabels labels;
    RecordingLayout layout = RecordingLayout::Main;
    std::unique_ptr<GraphDialog> dialog;
};

// The level a history curve was read at, told by where its points lie: a
// summary's last reading at its bucket's last second, its extremes in the
// bucket's middle (the half hour for an hour, midday for a day).
HistoryLevel LevelDrawn(const std::vector<ChartPoint>& curve)
{
    EXPECT_FALSE(curve.empty());
    const auto any = [&curve](StoreSeconds remainder, StoreSeconds span) {
        return std::any_of(curve.begin(), curve.end(),
                           [&](const ChartPoint& p) { return static_cast<StoreSeconds>(p.x) % span == remainder; });
    };
    if (!any(59, 60))
        return HistoryLevel::Readings;
    return any(kHistoryHour / 2, kHistoryHour) ? HistoryLevel::Hours : HistoryLevel::Days;
}

// The range leaves out its start: from the minute before the first reading.
const TimeRange kFirstDay{{2023, 12, 31, 23, 59, 0}, {2024, 1, 2, 0, 0, 0}};

TEST_F(GraphDialogTest, OpensOnTheLastHourWithTheRecordingsQuantities)
{
    struct Case {
        RecordingLayout layout;
        const char* name;
        QStringList entries;
    };
    const Case cases[] = {
        {RecordingLayout::Main, "20240101.csv",
         {"Temperature", "Humidity", "Pressure", "Wind", "Rain fall", "Solar Radiation", "UV-Index"}},
        {RecordingLayout::Channel, "20240101CH1.csv", {"Temperature", "Humidity"}},
        {RecordingLayout::Soil, "20240101SM.csv", {"Soil moisture"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::RecordingShape shape;
        shape.layout = c.layout;
        shape.lines = 60;
        Import(shape, c.name);
        const QDateTime now = QDateTime::currentDateTime();
        Open();
        EXPECT_EQ(Entries(), c.entries);
        const TimeRange range = dialog->Range();
        const QDateTime start(QDate(range.start.year, range.start.month, range.start.day),
                              QTime(range.start.hour, range.start.minute, range.start.second));
        const QDateTime end(QDate(range.end.year, range.end.month, range.end.day),
                            QTime(range.end.hour, range.end.minute, range.end.second));
        EXPECT_LE(std::abs(end.secsTo(now)), 5);
        EXPECT_EQ(LastHourBefore(range.end).start, range.start);
        EXPECT_LE(std::abs(start.secsTo(now.addSecs(-3600))), 5);
    }
    // The soil recording's one curve is drawn against a percentage axis.
    Select(GraphQuantity::SoilMoisture, kFirstDay);
    EXPECT_EQ(dialog->Chart().ValueAxis().titleText(), " (%)");
    EXPECT_EQ(dialog->Chart().Series(0).name(), "Soil moisture");
    EXPECT_EQ(dialog->Chart().Series(0).count(), 60);
}

TEST_F(GraphDialogTest, LegendAndTitlesFollowEachSelect)
{
    test::RecordingShape shape;
    shape.layout = RecordingLayout::Channel;
    shape.lines = 120;
    Import(shape, "20240101CH2.csv");
    Open();
    Select(GraphQuantity::Temperature, kFirstDay);
    EXPECT_FALSE(InLegend(1)) << "a channel has no outdoor temperature";
    EXPECT_EQ(dialog->Chart().Series(1).count(), 0);
    for (const std::size_t drawn : {0u, 2u, 3u}) {
        EXPECT_TRUE(InLegend(drawn)) << drawn;
        EXPECT_EQ(dialog->Chart().Series(drawn).count(), 120) << drawn;
    }
    EXPECT_EQ(dialog->Chart().ValueAxis().titleText(), QString::fromUtf8("(°C)"));

    shape.layout = RecordingLayout::Main;
    Import(shape, "20240101.csv");
    Open();
    Select(GraphQuantity::Temperature, kFirstDay);
    Select(GraphQuantity::Wind, kFirstDay);
    EXPECT_TRUE(InLegend(0));
    EXPECT_TRUE(InLegend(1));
    EXPECT_FALSE(InLegend(2));
    EXPECT_FALSE(InLegend(3));
    EXPECT_EQ(dialog->Chart().Series(1).name(), "Gust Speed");
    EXPECT_EQ(dialog->Chart().Series(2).name(), "Dew Point") << "titles of untouched series stay";
    EXPECT_EQ(dialog->Chart().Series(3).name(), "Feels Like");
    EXPECT_EQ(dialog->Chart().Series(2).count(), 0);
    EXPECT_EQ(dialog->Chart().chart()->title(), "Wind");
    EXPECT_TRUE(messages.shown.empty());
}

// A week of rain at one minute: the chart gets what its pixels can show,
// zooms around the pointer, pans with a drag and returns with Esc; the
// fixed rain axis stays put.
TEST_F(GraphDialogTest, ZoomAndPanRedrawWhatThePixelsShow)
{
    test::RecordingShape shape;
    shape.lines = 7 * 1440;
    Import(shape, "20240101.csv");
    Open();
    Select(GraphQuantity::RainFall, {{2023, 12, 31, 23, 59, 0}, {2024, 1, 8, 0, 0, 0}});
    GraphView& chart = dialog->Chart();
    const QRectF area = chart.chart()->plotArea();
    const int width = static_cast<int>(area.width());
    ASSERT_GT(width, 500);
    for (std::size_t i = 0; i < kDataSeries; ++i) {
        EXPECT_EQ(chart.Data().curves[i].size(), 7u * 1440u) << "every reading is kept";
        EXPECT_LE(chart.Series(i).count(), 4 * width + 2) << "what the pixels show goes to the chart";
        EXPECT_GT(chart.Series(i).count(), width / 2);
    }
    const ValueRange axis = *chart.Data().fixedAxis;
    EXPECT_EQ(chart.ValueAxis().min(), axis.min);
    EXPECT_EQ(chart.ValueAxis().max(), axis.max);
    const ValueRange selected = chart.Visible();

    // Two wheel notches in at the middle of the plot: the time there stays.
    const QPointF middle = area.center();
    const double timeAtMiddle = selected.min + (selected.max - selected.min) * (middle.x() - area.left()) / area.width();
    QWheelEvent wheel(middle, chart.viewport()->mapToGlobal(middle), {}, {0, 240}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(chart.viewport(), &wheel);
    const ValueRange zoomed = chart.Visible();
    EXPECT_NEAR(zoomed.max - zoomed.min, (selected.max - selected.min) * 0.64, 1.0);
    EXPECT_NEAR(zoomed.min + (zoomed.max - zoomed.min) * (middle.x() - area.left()) / area.width(), timeAtMiddle, 1.0);
    EXPECT_EQ(chart.ValueAxis().max(), axis.max);
    EXPECT_LE(chart.Series(0).count(), 4 * width + 2);

    // A drag to the right by a tenth of the plot shows earlier times.
    const QPointF from = middle;
    const QPointF to = middle + QPointF(area.width() / 10, 0);
    QMouseEvent press(QEvent::MouseButtonPress, from, chart.viewport()->mapToGlobal(from), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent move(QEvent::MouseMove, to, chart.viewport()->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, to, chart.viewport()->mapToGlobal(to), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(chart.viewport(), &press);
    QCoreApplication::sendEvent(chart.viewport(), &move);
    QCoreApplication::sendEvent(chart.viewport(), &release);
    const double onePixel = (zoomed.max - zoomed.min) / area.width();
    EXPECT_NEAR(chart.Visible().min, zoomed.min - (zoomed.max - zoomed.min) / 10, onePixel);
    EXPECT_TRUE(chart.ToolTipAt(middle).startsWith("2024-01-0")) << chart.ToolTipAt(middle).toStdString();
    KeepPicture("graph-zoomed.png");

    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(dialog.get(), &escape);
    EXPECT_EQ(chart.Visible(), selected);
    EXPECT_TRUE(dialog->isVisible()) << "the first Esc only left the zoom";
    KeepPicture("graph.png");
}

// The console writes its clock's time; on the day Berlin's clocks go
// forward the chart runs on without a gap, a fold or a shifted label.
TEST_F(GraphDialogTest, AClockChangeDayDrawsAsWritten)
{
    const char* zone = std::getenv("TZ");
    const std::string saved = zone ? zone : "";
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    test::RecordingShape shape;
    shape.start = {2024, 3, 31, 0, 0, 0};
    shape.lines = 6 * 60;
    Import(shape, "20240331.csv");
    Open();
    Select(GraphQuantity::Temperature, {{2024, 3, 30, 23, 59, 0}, {2024, 3, 31, 5, 59, 0}});
    const QList<QPointF> points = dialog->Chart().Series(0).points();
    ASSERT_EQ(points.size(), 360);
    for (qsizetype i = 1; i < points.size(); ++i)
        ASSERT_NEAR(points[i].x() - points[i - 1].x(), 60.0, 1e-3) << i;
    EXPECT_EQ(dialog->Chart().TimeLabels(),
              (QStringList{"2024-03-31 00:00:00", "2024-03-31 02:00:00", "2024-03-31 04:00:00"}));
    KeepPicture("graph-clock-change.png");
    if (zone)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

TEST_F(GraphDialogTest, EqualStartAndEndAndTheWholeRecording)
{
    test::RecordingShape shape;
    shape.lines = 90;
    Import(shape, "20240101.csv");
    Open();
    Select(GraphQuantity::Pressure, {{2024, 1, 1, 0, 30, 0}, {2024, 1, 1, 0, 30, 0}});
    EXPECT_EQ(dialog->Chart().Series(0).count(), 0);
    EXPECT_GT(dialog->Chart().TimeAxis().max(), dialog->Chart().TimeAxis().min());
    EXPECT_TRUE(messages.shown.empty());

    ASSERT_TRUE(dialog->SelectWholeRecording());
    EXPECT_EQ(FormatRecordTime(dialog->Range().start), "2023-12-31 23:59:59");
    EXPECT_EQ(FormatRecordTime(dialog->Range().end), "2024-01-01 01:29:00");
    EXPECT_EQ(dialog->Chart().Series(0).count(), 90);

    const QString picture = QString::fromStdString((folder.Path() / "graph.png").string());
    EXPECT_TRUE(dialog->SavePicture(picture));
    EXPECT_EQ(QImage(picture).size(), dialog->Chart().size());
    EXPECT_FALSE(dialog->SavePicture(QString::fromStdString((folder.Path() / "none" / "graph.png").string())));
    EXPECT_EQ(messages.shown.size(), 1u);
}

// A week merged into a history: the dialog says when the history is empty,
// opens on the last week read by the hour, and reads again at the level the
// view needs after a quick span or a wheel step; the axis names the units of
// the newest recording.
TEST_F(GraphDialogTest, HistoryReadsEachViewAtTheLevelItsWidthNeeds)
{
    HistoryStore history = test::OpenHistory(folder.Path() / kHistoryFile);
    OpenHistory(history);
    EXPECT_TRUE(dialog->findChild<QLabel*>("historyNote")->isVisible());
    EXPECT_TRUE(Entries().isEmpty());

    const std::vector<HistoryReading> week = test::GeneratedReadings({2024, 3, 1, 0, 0, 0}, 7 * 1440, 1, 3);
    const UnitLabels imperial{"(°F)", "(inHg)", "(in)", "(mph)", "(fc)"};
    const UnitLabels metric{"(°C)", "(hPa)", "(mm)", "(m/s)", "(lux)"};
    ASSERT_TRUE(history.Merge(RecordingLayout::Main, week, {}, nullptr, &imperial));
    // An older recording merged later keeps the newer one's units.
    ASSERT_TRUE(history.Merge(RecordingLayout::Main, std::span(week).first(1440), {}, nullptr, &metric));
    OpenHistory(history);
    EXPECT_FALSE(dialog->findChild<QLabel*>("historyNote")->isVisible());
    EXPECT_EQ(Entries(), (QStringList{"Temperature", "Humidity", "Pressure", "Wind", "Rain fall", "Solar Radiation",
                                      "UV-Index"}));
    GraphView& chart = dialog->Chart();
    EXPECT_EQ(FormatRecordTime(dialog->Range().start), "2024-02-29 23:59:00");
    EXPECT_EQ(chart.ValueAxis().titleText(), QString::fromUtf8("(°F)"));
    EXPECT_EQ(LevelDrawn(chart.Data().curves[1]), HistoryLevel::Hours);

    ASSERT_TRUE(dialog->SelectSpan(HistorySpan::Day));
    EXPECT_EQ(FormatRecordTime(dialog->Range().start), "2024-03-06 23:59:00");
    EXPECT_EQ(LevelDrawn(chart.Data().curves[1]), HistoryLevel::Readings);

    ASSERT_TRUE(dialog->SelectSpan(HistorySpan::All));
    EXPECT_EQ(LevelDrawn(chart.Data().curves[1]), HistoryLevel::Hours);
    // Six notches in at once: a quarter of the week, each reading drawn.
    const QPointF middle = chart.chart()->plotArea().center();
    QWheelEvent wheel(middle, chart.viewport()->mapToGlobal(middle), {}, {0, 720}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(chart.viewport(), &wheel);
    EXPECT_EQ(LevelDrawn(chart.Data().curves[1]), HistoryLevel::Readings);
    EXPECT_LE(chart.Series(1).count(), 4 * chart.chart()->plotArea().width() + 2);
    EXPECT_TRUE(messages.shown.empty());
}

// The hour a clock change skips leaves neither a gap nor a spike in the
// history's chart, read by the hour or reading by reading; the hour it
// repeats keeps both readings in the order they were recorded.
TEST_F(GraphDialogTest, HistoryDrawsClockChangesAsWritten)
{
    HistoryStore history = test::OpenHistory(folder.Path() / kHistoryFile);
    std::vector<HistoryReading> spring = test::GeneratedReadings({2024, 3, 28, 0, 0, 0}, 7 * 1440, 1, 5);
    std::erase_if(spring, [](const HistoryReading& r) { return r.time.day == 31 && r.time.hour == 2; });
    ASSERT_TRUE(history.Merge(RecordingLayout::Main, spring));
    std::vector<HistoryReading> autumn;
    for (int minute = 0; minute < 5 * 60; ++minute)
        autumn.push_back(
            test::At({2024, 10, 27, minute / 60 - (minute >= 180), minute % 60, 0}, minute < 180 ? 10.0f : 20.0f));
    ASSERT_TRUE(history.Merge(RecordingLayout::Main, autumn));
    OpenHistory(history);
    const std::vector<ChartPoint>& curve = dialog->Chart().Data().curves[1];
    for (const TimeRange& range : {TimeRange{{2024, 3, 27, 0, 0, 0}, {2024, 4, 4, 0, 0, 0}},
                                   TimeRange{{2024, 3, 31, 0, 0, 0}, {2024, 3, 31, 6, 0, 0}}}) {
        Select(GraphQuantity::Temperature, range);
        const QList<QPointF> drawn = dialog->Chart().Series(1).points();
        ASSERT_GT(drawn.size(), 100);
        for (qsizetype i = 1; i < drawn.size(); ++i) {
            ASSERT_LE(drawn[i].x() - drawn[i - 1].x(), 3660.0) << "no more than the skipped hour without a point";
            ASSERT_TRUE(drawn[i].y() >= -15.0 && drawn[i].y() <= 15.0) << drawn[i].y();
        }
    }
    Select(GraphQuantity::Temperature, {{2024, 10, 27, 1, 59, 0}, {2024, 10, 27, 2, 59, 0}});
    ASSERT_EQ(LevelDrawn(curve), HistoryLevel::Readings);
    const ChartPoint* twoOClock = &*std::find_if(curve.begin(), curve.end(), [](const ChartPoint& p) {
        return p.x == ChartSeconds(CivilTime{2024, 10, 27, 2, 0, 0});
    });
    EXPECT_EQ(twoOClock[0].y, 10.0);
    EXPECT_EQ(twoOClock[1], (ChartPoint{twoOClock[0].x, 20.0})) << "the repeated hour's reading comes second";
}

}  // namespace
}  // namespace vorelle
