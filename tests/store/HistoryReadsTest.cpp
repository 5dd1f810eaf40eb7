// What the graph and the monthly summary read from the history.
#include "store/HistoryGraph.h"
#include "store/MonthSummary.h"

#include "support/HistoryTesting.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vorelle::test {
namespace {

struct GraphCase {
    CivilTime from;
    CivilTime to;
    int width;
    HistoryLevel level;
    std::size_t buckets;
};

TEST(HistoryReadsTest, AGraphReadsTheFinestLevelThatFitsItsWidthAndLosesNoPeak)
{
    TempFolder temp;
    HistoryStore store = OpenHistory(temp.Path() / kHistoryFile);
    // Three days of one-minute readings, 2024-03-01 to 03.
    ASSERT_TRUE(store.Merge(RecordingLayout::Main, GeneratedReadings({2024, 3, 1, 0, 0, 0}, 3 * 1440, 1, 3)));
    const GraphCase cases[] = {
        {{2024, 3, 1, 10, 0, 0}, {2024, 3, 1, 11, 0, 0}, 100, HistoryLevel::Readings, 56},  // 4 are missing
        {{2024, 3, 1, 0, 0, 0}, {2024, 3, 2, 0, 0, 0}, 100, HistoryLevel::Hours, 25},       // the next midnight too
        {{2024, 3, 1, 0, 0, 0}, {2024, 3, 4, 0, 0, 0}, 100, HistoryLevel::Hours, 72},
        {{2024, 3, 1, 0, 0, 0}, {2024, 3, 4, 0, 0, 0}, 10, HistoryLevel::Days, 3},
        {{2023, 1, 1, 0, 0, 0}, {2025, 1, 1, 0, 0, 0}, 933, HistoryLevel::Days, 3},
    };
    for (const GraphCase& c : cases) {
        SCOPED_TRACE(FormatRecordTime(c.from) + " to " + FormatRecordTime(c.to) + " width " + std::to_string(c.width));
        const StoreResult<HistoryGraph> graph =
            ReadForGraph(store, RecordingLayout::Main, "OutTemp", c.from, c.to, c.width);
        ASSERT_TRUE(graph) << graph.Error();
        EXPECT_EQ(graph->level, c.level);
        EXPECT_EQ(graph->buckets.size(), c.buckets);
        const std::vector<StorePoint> readings =
            store.Readings(RecordingLayout::Main, "OutTemp", c.from, c.to).Value();
        const auto byValue = [](const auto& a, const auto& b) { return a.value < b.value; };
        const auto byHighest = [](const auto& a, const auto& b) { return a.highest < b.highest; };
        const auto byLowest = [](const auto& a, const auto& b) { return a.lowest < b.lowest; };
        EXPECT_EQ(std::max_element(graph->buckets.begin(), graph->buckets.end(), byHighest)->highest,
                  std::max_element(readings.begin(), readings.end(), byValue)->value);
        EXPECT_EQ(std::min_element(graph->buckets.begin(), graph->buckets.end(), byLowest)->lowest,
                  std::min_element(readings.begin(), readings.end(), byValue)->value);
    }
}

TEST(HistoryReadsTest, AMonthSummaryCountsEachDaysRainOnceWhicheverSideOfMidnightTheTotalRestarts)
{
    TempFolder temp;
    HistoryStore store = OpenHistory(temp.Path() / kHistoryFile);
    const auto at = [](int month, int day, int hour, int minute) {
        return CivilTime{2024, month, day, hour, minute, 0};
    };
    // At the 1st's midnight the total still holds the day before's 7 mm; at
    // the 2nd's, the 1st's 2.5 mm; at the 3rd's it has restarted already.
    // The last day's rain ends at the next month's midnight.
    ASSERT_TRUE(store.Merge(
        RecordingLayout::Main,
        std::vector{At(at(2, 1, 0, 0), 1.0f, 50, 7.0f, 3.0f), At(at(2, 1, 6, 0), 5.0f, 50, 1.0f, 9.5f),
                    At(at(2, 1, 12, 0), 3.0f, 50, 2.5f, 4.0f), At(at(2, 2, 0, 0), -2.0f, 50, 2.5f, 1.0f),
                    At(at(2, 2, 0, 10), -4.0f, 50, 0.0f, 1.0f), At(at(2, 2, 12, 0), kMissingFloat, 50, 4.0f, 2.0f),
                    At(at(2, 3, 0, 0), 0.5f, 50, 0.0f, 0.5f), At(at(2, 29, 23, 0), 8.0f, 50, 1.5f, 2.0f),
                    At(at(3, 1, 0, 0), 9.0f, 50, 1.75f, 2.0f)}));
    const StoreResult<MonthWeather> month = SummariseMonth(store, 2024, 2);
    ASSERT_TRUE(month) << month.Error();
    ASSERT_EQ(month->days.size(), 29u);
    const auto day = [](int d, std::optional<double> hi, std::optional<double> lo, std::optional<double> mean,
                        std::optional<double> rain,
                        std::optional<double> gust) { return DayWeather{d, hi, lo, mean, rain, gust}; };
    const DayWeather expected[] = {day(1, 5.0, 1.0, 3.0, 2.5, 9.5), day(2, -2.0, -4.0, -3.0, 4.0, 2.0),
                                   day(3, 0.5, 0.5, 0.5, std::nullopt, 0.5), day(4, {}, {}, {}, {}, {}),
                                   day(29, 8.0, 8.0, 8.0, 1.75, 2.0)};
    for (const DayWeather& e : expected) {
        SCOPED_TRACE(e.day);
        const DayWeather& got = month->days[static_cast<std::size_t>(e.day - 1)];
        EXPECT_EQ(std::tie(got.day, got.highest, got.lowest, got.mean, got.rain, got.highestGust),
                  std::tie(e.day, e.highest, e.lowest, e.mean, e.rain, e.highestGust));
    }
    EXPECT_EQ(
        std::tie(month->highest, month->lowest, month->rain, month->highestGust),
        std::make_tuple(expected[4].highest, expected[1].lowest, std::optional<double>(8.25), expected[0].highestGust));
    EXPECT_DOUBLE_EQ(month->mean.value(), (1.0 + 5.0 + 3.0 - 2.0 - 4.0 + 0.5 + 8.0) / 7.0);
}

}  // namespace
}  // namespace vorelle::test
