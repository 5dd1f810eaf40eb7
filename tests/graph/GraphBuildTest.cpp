#include "graph/GraphBuild.h"

#include "graph/GraphTime.h"
#include "store/RecordDatabase.h"
#include "support/MessageRecorder.h"
#include "support/RecordStoreTesting.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>

namespace vorelle {
namespace {

// A store file whose Records rows are written by plain SQL, as another
// program might write them.
class GraphBuildTest : public ::testing::Test {
protected:
    void SetUp() override { test::MakeEmptyStore(store); }

    void Sql(const std::string& statements) const
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(store.string().c_str(), &db), SQLITE_OK);
        char* failure = nullptr;
        EXPECT_EQ(sqlite3_exec(db, statements.c_str(), nullptr, nullptr, &failure), SQLITE_OK) << failure;
        sqlite3_free(failure);
        sqlite3_close(db);
    }

    // One row at `time` with `column` set to `value` (an SQL literal).
    void Row(const CivilTime& time, const std::string& column, const std::string& value) const
    {
        char when[32];
        std::snprintf(when, sizeof when, "%.17g", AutomationDate(time));
        Sql("INSERT INTO Records (Time, " + column + ") VALUES (" + when + ", " + value + ");");
    }

    BuildResult Build(GraphQuantity quantity, const CivilTime& start, const CivilTime& end, GraphData& data)
    {
        RecordDatabase db = test::OpenStore(store);
        return BuildGraph(db, messages, {quantity, RecordingLayout::Main, {}, start, end}, data);
    }

    static std::vector<double> Values(const std::vector<ChartPoint>& curve)
    {
        std::vector<double> values;
        for (const ChartPoint& p : curve)
            values.push_back(p.y);
        return values;
    }

    test::TempFolder folder;
    std::filesystem::path store = folder.Path() / "QM710.db";
    test::MessageRecorder messages;
};

// The start is left out and the end kept; a missing reading (65535), a
// null and a text where a number belongs are neither drawn nor counted.
TEST_F(GraphBuildTest, DrawsEachStoredNumberOnceInTimeOrder)
{
    const double values[] = {7.5, 1.0, 65535.0, -2.5, 4.0, 9.0};
    for (int minute = 0; minute < 6; ++minute)
        Row({2024, 5, 1, 10, minute, 0}, "Wind", std::to_string(values[minute]));
    Row({2024, 5, 1, 10, 2, 30}, "Wind", "NULL");
    Row({2024, 5, 1, 10, 3, 30}, "Wind", "'calm'");
    GraphData data;
    ASSERT_EQ(Build(GraphQuantity::Wind, {2024, 5, 1, 10, 0, 0}, {2024, 5, 1, 10, 5, 0}, data), BuildResult::Built);
    EXPECT_EQ(Values(data.curves[0]), (std::vector<double>{1.0, -2.5, 4.0, 9.0}));
    EXPECT_EQ(data.curves[0].front().x, ChartSeconds(CivilTime{2024, 5, 1, 10, 1, 0}));
    EXPECT_EQ(data.curves[0].back().x, ChartSeconds(CivilTime{2024, 5, 1, 10, 5, 0}));
    EXPECT_TRUE(data.curves[2].empty()) << "Wind draws no third curve";
    EXPECT_EQ(data.from, ChartSeconds(CivilTime{2024, 5, 1, 10, 0, 0}));
    EXPECT_FALSE(data.fixedAxis) << "the wind axis follows the curves";
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(GraphBuildTest, RainAndLightAxesComeFromTheirMaximaAndMinima)
{
    struct Case {
        GraphQuantity quantity;
        std::vector<std::pair<std::string, double>> readings;  // column, value, one minute apart
        ValueRange axis;
    };
    const Case cases[] = {
        {GraphQuantity::RainFall, {{"RainDay", 3.5}, {"RainWeek", 10}, {"RainMonth", 40}, {"RainYear", 200}}, {0, 205}},
        {GraphQuantity::RainFall, {}, {0, 105}},
        {GraphQuantity::RainFall, {{"RainDay", 3.5}}, {0, 105}},  // the others count as 0 to 100
        {GraphQuantity::SolarRadiation, {{"Light", 12}, {"Light", 800}, {"Light", 65535}}, {12, 805}},
        {GraphQuantity::SolarRadiation, {}, {0, 105}},
    };
    for (const Case& c : cases) {
        Sql("DELETE FROM Records;");
        int minute = 1;
        for (const auto& [column, value] : c.readings)
            Row({2024, 5, 1, 10, minute++, 0}, column, std::to_string(value));
        GraphData data;
        ASSERT_EQ(Build(c.quantity, {2024, 5, 1, 10, 0, 0}, {2024, 5, 1, 11, 0, 0}, data), BuildResult::Built);
        EXPECT_EQ(data.fixedAxis, c.axis) << QuantityName(c.quantity) << " " << c.readings.size();
    }
    const std::optional<ValueRange> below[] = {ValueRange{-3, 1}, std::nullopt};
    EXPECT_EQ(FixedAxisRange(AxisScaling::RainTotals, below), (ValueRange{-3, 105}));
}

TEST_F(GraphBuildTest, EqualStartAndEndDrawEmptyCurvesWithoutAMessage)
{
    Row({2024, 5, 1, 10, 0, 0}, "InTemp", "20.5");
    GraphData data;
    const CivilTime at{2024, 5, 1, 10, 0, 0};
    ASSERT_EQ(Build(GraphQuantity::Temperature, at, at, data), BuildResult::Built);
    for (const std::vector<ChartPoint>& curve : data.curves)
        EXPECT_TRUE(curve.empty());
    EXPECT_TRUE(messages.shown.empty());
    const ValueRange span = DrawableTimeSpan(data.from, data.to);
    EXPECT_GT(span.max, span.min) << "the axis still has a width";
    EXPECT_EQ(DrawableTimeSpan(1.0, 2.0), (ValueRange{1.0, 2.0}));
}

TEST_F(GraphBuildTest, AStartAfterTheEndIsATimeErrorAndReadsNothing)
{
    GraphData data;
    data.curves[0] = {{1.0, 2.0}};
    ASSERT_EQ(Build(GraphQuantity::Temperature, {2024, 5, 1, 10, 0, 1}, {2024, 5, 1, 10, 0, 0}, data),
              BuildResult::TimeError);
    ASSERT_EQ(messages.Texts(), std::vector<std::string>{"Time Error."});
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Stop);
    EXPECT_EQ(data.curves[0].size(), 1u) << "the chart keeps what it showed";
}

// A store whose table went away: the failure is reported once, the build
// stops with empty curves, and nothing else happens.
TEST_F(GraphBuildTest, AFailedQueryStopsTheBuild)
{
    RecordDatabase db = test::OpenStore(store);
    Sql("DROP TABLE Records;");
    GraphData data;
    data.curves[0] = {{1.0, 2.0}};
    EXPECT_EQ(BuildGraph(db, messages, {GraphQuantity::RainFall, RecordingLayout::Main, {}, {2024, 5, 1, 10}, {2024, 5, 1, 11}}, data),
              BuildResult::QueryFailed);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("Records"), std::string::npos) << messages.shown[0].text;
    for (const std::vector<ChartPoint>& curve : data.curves)
        EXPECT_TRUE(curve.empty());
}

}  // namespace
}  // namespace vorelle
