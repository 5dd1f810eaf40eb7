#include "recordings/RecordingImport.h"

#include "store/RecordingLayout.h"
#include "store/StoredRecording.h"
#include "support/MessageRecorder.h"
#include "support/RecordStoreTesting.h"
#include "support/RecordingGenerator.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <functional>
#include <thread>

namespace vorelle::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kMainHeader =
    "Time,Indoor Temperature(C),Indoor Humidity(%),Relative Pressure(hPa),Absolute Pressure(hPa),"
    "Outdoor Temperature(C),Outdoor Humidity(%),Dew Point(C),Feels Like(C),Wind(m/s),Gust(m/s),Wind Direction,"
    "Light(lux),UV,Rain(mm),Daily Rain(mm),Weekly Rain(mm),Monthly Rain(mm),Yearly Rain(mm)";
constexpr const char* kMainLine =
    "2024-01-01 00:01,21.3,45,1013.2,1004.7,-1.1,78,-4.5,-3,2.4,3.8,225,1234.5,1,0.5,1.2,5.4,20.3,345.6";

// The record kMainLine gives.
WeatherRecord MainLineRecord()
{
    WeatherRecord r;
    r.time = AutomationDate({2024, 1, 1, 0, 1, 0});
    r.inTemp = 21.3f;
    r.inHumi = 45;
    r.relPressure = 1013.2f;
    r.absPressure = 1004.7f;
    r.outTemp = -1.1f;
    r.outHumi = 78;
    r.dewPoint = -4.5f;
    r.windChill = -3.0f;
    r.wind = 2.4f;
    r.gust = 3.8f;
    r.light = 1234.5f;
    r.uv = 1;
    r.rain = 0.5f;
    r.rainDay = 1.2f;
    r.rainWeek = 5.4f;
    r.rainMonth = 20.3f;
    r.rainYear = 345.6f;
    return r;
}

// A record whose every reading is missing, as a channel or soil recording
// leaves the columns it does not carry.
WeatherRecord NothingRecorded(const CivilTime& time)
{
    WeatherRecord r;
    r.time = AutomationDate(time);
    r.inHumi = r.outHumi = r.uv = kMissingValue;
    for (float* f : {&r.inTemp, &r.outTemp, &r.wind, &r.gust, &r.dewPoint, &r.windChill, &r.relPressure,
                     &r.absPressure, &r.rain, &r.rainDay, &r.rainWeek, &r.rainMonth, &r.rainYear, &r.light})
        *f = kMissingFloat;
    return r;
}

// A temporary data folder with an empty store, and imports into it.
class ImportFixture : public ::testing::Test {
protected:
    void SetUp() override { MakeEmptyStore(store_); }

    ImportResult Import(const std::string& text, const std::string& name,
                        DateOrder order = DateOrder::DayMonthYear, const ImportProgressCallback& progress = {},
                        std::stop_token stop = {})
    {
        const fs::path file = temp_.Write(name, text);
        return ImportRecording({file, name, store_, order}, messages_, progress, stop);
    }

    // Imports `text` expecting no message and a summary of its lines.
    ImportResult ImportCleanly(const std::string& text, const std::string& name,
                               DateOrder order = DateOrder::DayMonthYear)
    {
        ImportResult result = Import(text, name, order);
        EXPECT_EQ(result.status, ImportStatus::Imported);
        EXPECT_EQ(messages_.Texts(), std::vector<std::string>());
        return result;
    }

    // What the store notes about the recording it holds.
    StoredRecording Noted()
    {
        RecordDatabase db = OpenStore(store_);
        StoreResult<StoredRecording> noted = StoredRecordingOf(db);
        EXPECT_TRUE(noted) << noted.Error();
        return noted ? noted.Value() : StoredRecording();
    }

    TempFolder temp_;
    fs::path store_ = temp_.Path() / "QM710.db";
    MessageRecorder messages_;
};

struct LayoutCase {
    const char* name;
    std::string text;
    RecordingLayout layout;
    WeatherRecord stored;
    UnitLabels labels;
};

using RecordingImportTest = ImportFixture;

TEST_F(RecordingImportTest, EachLayoutStoresItsColumnsAndNamesItsUnits)
{
    WeatherRecord channel = NothingRecorded({2024, 1, 1, 0, 1, 0});
    channel.inTemp = 70.5f;
    channel.inHumi = 55;
    channel.dewPoint = 53.25f;
    channel.windChill = 70.0f;
    WeatherRecord soil = NothingRecorded({2024, 1, 1, 0, 1, 0});
    soil.inHumi = 35;
    WeatherRecord inside = NothingRecorded({2024, 1, 1, 0, 1, 0});
    inside.inTemp = 70.5f;
    const std::string channelText =
        "Time,CH1 Temperature(F),CH1 Humidity(%),CH1 Dew Point(F),CH1 Feels Like(F)\r\n"
        "2024-01-01 00:01,70.5,55.9,53.25,70\r\n";
    const LayoutCase cases[] = {
        {"20240101.csv", std::string(kMainHeader) + "\r\n" + kMainLine + "\r\n", RecordingLayout::Main,
         MainLineRecord(), {"(\u00B0C)", "(hPa)", "(mm)", "(m/s)", "(lux)"}},
        {"20240101CH1.csv", channelText, RecordingLayout::Channel, channel, {"(\u00B0F)", "(F)", "", "", ""}},
        {"20240101SM1.csv", "Time,Soil Moisture(%)\r\n2024-01-01 00:01,35\r\n", RecordingLayout::Soil, soil,
         {"(%)", "", "", "", ""}},
        {"20240101SMCH.csv", channelText, RecordingLayout::Channel, channel, {"(\u00B0F)", "(F)", "", "", ""}},
        {"latin1.csv", "Time,Temp (\xB0" "F)\r\n2024-01-01 00:01,70.5\r\n", RecordingLayout::Main, inside,
         {"(\u00B0F)", "", "", "", ""}},
        {"cp1252.csv", "Time,Temp (\x80" "C)\r\n2024-01-01 00:01,70.5\r\n", RecordingLayout::Main, inside,
         {"(\u20AC\u00B0C)", "", "", "", ""}},
        {"utf8 unmarked.csv", "Time,Temp (\u00B0C)\r\n2024-01-01 00:01,70.5\r\n", RecordingLayout::Main, inside,
         {"(\u00B0C)", "", "", "", ""}},
        {"utf8.csv", "\xEF\xBB\xBFTime,Temp (\u00B0C)\r\n2024-01-01 00:01,21.5\r\n", RecordingLayout::Main,
         [] {
             WeatherRecord r = NothingRecorded({2024, 1, 1, 0, 1, 0});
             r.inTemp = 21.5f;
             return r;
         }(),
         {"(\u00B0C)", "", "", "", ""}},
        {"untitled.csv", "Time,Inside\r\n2024-01-01 00:01,21.5\r\n", RecordingLayout::Main,
         [] {
             WeatherRecord r = NothingRecorded({2024, 1, 1, 0, 1, 0});
             r.inTemp = 21.5f;
             return r;
         }(),
         {"Inside", "", "", "", ""}},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LayoutForRecording(c.name), c.layout);
        const ImportResult result = ImportCleanly(c.text, c.name);
        EXPECT_EQ(StoredRecords(store_), std::vector<WeatherRecord>{c.stored});
        EXPECT_EQ(result.content.Title(0), "Time") << "no byte-order mark";
        if (c.layout == RecordingLayout::Main && result.content.ColumnCount() == 19) {
            EXPECT_EQ(result.content.Cell(0, 11), "225") << "wind direction is shown, not stored";
            EXPECT_EQ(result.content.Cell(0, 18), "345.6") << "no carriage return";
        }
        EXPECT_EQ(result.labels.temperature, c.labels.temperature);
        EXPECT_EQ(result.labels.pressure, c.labels.pressure);
        EXPECT_EQ(result.labels.rain, c.labels.rain);
        EXPECT_EQ(result.labels.wind, c.labels.wind);
        EXPECT_EQ(result.labels.light, c.labels.light);
        const StoredRecording noted = Noted();
        EXPECT_EQ(noted.name, c.name) << "the graph learns the recording's kind from the store";
        EXPECT_EQ(noted.labels.temperature, c.labels.temperature);
        EXPECT_EQ(noted.labels.light, c.labels.light);
    }
}

struct MendCase {
    const char* name;
    std::string line;
    std::function<void(WeatherRecord&)> expect;
};

TEST_F(RecordingImportTest, FieldsThatAreNotThereOrNotNumbersThatFitAreStoredAsMissing)
{
    const MendCase cases[] = {
        {"the line as the console writes it", kMainLine, [](WeatherRecord&) {}},
        {"missing sensors",
         "2024-01-01 00:01,21.3,--,1013.2,1004.7,--.-,--,-4.5,-3,2.4,3.8,225,1234.5,1,0.5,1.2,5.4,20.3,345.6",
         [](WeatherRecord& r) {
             r.inHumi = r.outHumi = kMissingValue;
             r.outTemp = kMissingFloat;
         }},
        {"fields that are not numbers",
         "2024-01-01 00:01,21.3,,1013.2,1004.7,abc,78,-4.5,-3,2.4,3.8,225,1234.5,x1,0.5,1.2,5.4,20.3,12,5",
         [](WeatherRecord& r) {
             r.inHumi = r.uv = kMissingValue;
             r.outTemp = kMissingFloat;
             r.rainYear = 12.0f;  // a twentieth field is no part of the nineteenth
         }},
        {"values that do not fit their columns",
         "2024-01-01 00:01,21.3,3e9,1013.2,1004.7,-1.1,78,-4.5,-3,2.4,1e39,225,nan,1,0.5,1.2,5.4,20.3,345.6",
         [](WeatherRecord& r) {
             r.inHumi = kMissingValue;
             r.gust = r.light = kMissingFloat;
         }},
        {"a short line", "2024-01-01 00:01,21.3,45,1013.2,1004.7,-1.1,78",
         [](WeatherRecord& r) {
             r.uv = kMissingValue;
             for (float* f : {&r.dewPoint, &r.windChill, &r.wind, &r.gust, &r.light, &r.rain, &r.rainDay,
                              &r.rainWeek, &r.rainMonth, &r.rainYear})
                 *f = kMissingFloat;
         }},
    };
    for (const MendCase& c : cases) {
        SCOPED_TRACE(c.name);
        WeatherRecord expected = MainLineRecord();
        c.expect(expected);
        const ImportResult result = ImportCleanly(std::string(kMainHeader) + "\r\n" + c.line + "\r\n", "main.csv");
        EXPECT_EQ(StoredRecords(store_), std::vector<WeatherRecord>{expected});
        EXPECT_EQ(result.content.Cell(0, 0), "2024-01-01 00:01");
    }
}

TEST_F(RecordingImportTest, LinesWhoseTimeCannotBeReadAreShownButNotStored)
{
    const std::string text = std::string(kMainHeader) + "\r\n" + kMainLine + "\r\n" +
                             "garbage,1,2,3\r\n\r\n"
                             "2024-02-30 10:00,22.0\r\n"
                             "2024-01-01 00:03,23.5\r\n"
                             "2024-01-01 00:04,20.5,42,1015.6,1001.2,1.5,75,-2.";
    const ImportResult result = ImportCleanly(text, "main.csv");
    EXPECT_EQ(result.summary.linesRead, 4u) << "the blank line is no reading, the half-written last one not yet";
    EXPECT_EQ(result.summary.rowsStored, 2u);
    EXPECT_EQ(result.summary.linesRefused, 2u);
    EXPECT_EQ(result.summary.linesHeldBack, 1u);
    ASSERT_EQ(result.content.RowCount(), 4u);
    EXPECT_EQ(result.content.Cell(1, 0), "garbage");
    EXPECT_EQ(result.content.Cell(1, 3), "3");
    EXPECT_EQ(result.content.Cell(1, 4), "");
    EXPECT_EQ(result.content.Cell(2, 1), "22.0");
    const std::vector<WeatherRecord> stored = StoredRecords(store_);
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(FormatRecordTime(CivilTimeOf(stored[1].time)), "2024-01-01 00:03:00");
    EXPECT_EQ(stored[1].inTemp, 23.5f);
}

TEST_F(RecordingImportTest, CellsEndAtTheHeadersLastColumn)
{
    const ImportResult result =
        ImportCleanly("Time,A,B\r\n2024-01-01 00:01,1,2,3,4\r\n2024-01-01 00:02,5\r\n", "main.csv");
    ASSERT_EQ(result.content.RowCount(), 2u);
    struct CellCase {
        std::size_t row;
        std::size_t column;
        std::string_view cell;
    };
    for (const CellCase& c : {CellCase{0, 0, "2024-01-01 00:01"}, CellCase{0, 2, "2"}, CellCase{0, 3, ""},
                              CellCase{1, 1, "5"}, CellCase{1, 2, ""}, CellCase{2, 0, ""}}) {
        SCOPED_TRACE(testing::Message() << "row " << c.row << ", column " << c.column);
        EXPECT_EQ(result.content.Cell(c.row, c.column), c.cell);
    }
    EXPECT_EQ(result.content.Title(2), "B");
    EXPECT_EQ(result.content.Title(3), "");
    EXPECT_EQ(StoredRecords(store_).size(), 2u);
}

TEST_F(RecordingImportTest, AnEmptyRecordingShowsOneUntitledColumnAndEmptiesTheStore)
{
    ImportCleanly(std::string(kMainHeader) + "\r\n" + kMainLine + "\r\n", "main.csv");
    const ImportResult result = ImportCleanly("", "main.csv");
    EXPECT_EQ(result.content.ColumnCount(), 1u);
    EXPECT_EQ(result.content.Title(0), "");
    EXPECT_EQ(result.content.RowCount(), 0u);
    EXPECT_EQ(result.summary.linesRead, 0u);
    EXPECT_TRUE(StoredRecords(store_).empty());
}

TEST_F(RecordingImportTest, TheSameRecordingImportedTwiceIsStoredOnce)
{
    RecordingShape shape;
    shape.lines = 300;
    const std::string text = RecordingGenerator(shape).Text();
    ImportCleanly(text, "20240101.csv");
    const std::vector<WeatherRecord> once = StoredRecords(store_);
    ImportCleanly(text, "20240101.csv");
    EXPECT_EQ(once.size(), 300u);
    EXPECT_EQ(StoredRecords(store_), once);
}

TEST_F(RecordingImportTest, ClockChangeDaysAreStoredAsTheyRead)
{
    // The process's own zone has clock changes on both days; it must not matter.
    const char* zone = std::getenv("TZ");
    const std::string previousZone = zone ? zone : "";
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    const std::string text = "Time,Temp(C)\r\n"
                             "2024-03-31 01:59,1\r\n2024-03-31 02:00,2\r\n2024-03-31 02:30,3\r\n2024-03-31 03:00,4\r\n"
                             "2024-10-27 02:00,5\r\n2024-10-27 02:30,6\r\n2024-10-27 02:59,7\r\n"
                             "2024-10-27 02:00,8\r\n2024-10-27 02:30,9\r\n2024-10-27 03:00,10\r\n";
    ImportCleanly(text, "main.csv");
    const QueryAnswer spring = AskStore(store_, "InTemp", "2024-03-31 0:00:00", "2024-04-01 0:00:00");
    const QueryAnswer autumn = AskStore(store_, "InTemp", "2024-10-27 2:00:00", "2024-10-27 2:30:00");
    if (zone)
        setenv("TZ", previousZone.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
    EXPECT_EQ(spring.rows, (std::vector<StoredReading>{{"2024-03-31 01:59:00", 1},
                                                       {"2024-03-31 02:00:00", 2},
                                                       {"2024-03-31 02:30:00", 3},
                                                       {"2024-03-31 03:00:00", 4}}));
    // The repeated hour's readings both stay, in time order, each pair in the
    // order the recording gives them.
    EXPECT_EQ(autumn.count, 2.0);
    EXPECT_EQ(autumn.rows, (std::vector<StoredReading>{{"2024-10-27 02:30:00", 6}, {"2024-10-27 02:30:00", 9}}));
    EXPECT_EQ(AskStore(store_, "InTemp", "2024-10-27 0:00:00", "2024-10-28 0:00:00").rows.size(), 6u);
}

struct OrderCase {
    DateOrder order;
    std::vector<StoredReading> stored;
    std::uint64_t refused;
};

TEST_F(RecordingImportTest, DatesWithTheYearLastFollowTheDesktopsOrder)
{
    const std::string text = "Time,Temp(C)\r\n05/03/2024 10:00,1\r\n13.03.2024 10:00,2\r\n03-13-2024 10:00,3\r\n"
                             "2024-03-06 10:00,4\r\n";
    const OrderCase cases[] = {
        {DateOrder::DayMonthYear,
         {{"2024-03-05 10:00:00", 1}, {"2024-03-06 10:00:00", 4}, {"2024-03-13 10:00:00", 2}}, 1},
        {DateOrder::MonthDayYear,
         {{"2024-03-06 10:00:00", 4}, {"2024-03-13 10:00:00", 3}, {"2024-05-03 10:00:00", 1}}, 1},
    };
    for (const OrderCase& c : cases) {
        SCOPED_TRACE(c.order == DateOrder::DayMonthYear ? "day first" : "month first");
        const ImportResult result = ImportCleanly(text, "main.csv", c.order);
        EXPECT_EQ(result.summary.linesRefused, c.refused);
        EXPECT_EQ(AskStore(store_, "InTemp", "2024-01-01 0:00:00", "2025-01-01 0:00:00").rows, c.stored);
    }
}

TEST_F(RecordingImportTest, AFailedOrAbandonedImportLeavesThePreviousRecordingWhole)
{
    RecordingShape shape;
    shape.lines = 2000;
    const std::string previous = RecordingGenerator(shape).Text();
    shape.start = {2024, 6, 1, 0, 0, 0};
    shape.lines = 20000;  // long enough to be stopped between progress reports
    const std::string next = RecordingGenerator(shape).Text();
    ImportCleanly(previous, "20240101.csv");
    const std::vector<WeatherRecord> before = StoredRecords(store_);

    std::stop_source stopping;
    struct Case {
        const char* name;
        std::function<ImportResult()> import;
        ImportStatus status;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"a recording that is not there",
         [&] { return ImportRecording({temp_.Path() / "gone.csv", "gone.csv", store_, {}}, messages_); },
         ImportStatus::RecordingUnreadable, {"Open Error2"}},
        {"a store that is not there",
         [&] {
             const fs::path file = temp_.Write("next.csv", next);
             return ImportRecording({file, "next.csv", temp_.Path() / "gone.db", {}}, messages_);
         },
         ImportStatus::StoreFailed, {"unable to open database file"}},
        {"a store that refuses a row half way",
         [&] {
             sqlite3* db = nullptr;
             sqlite3_open(store_.string().c_str(), &db);
             sqlite3_exec(db,
                          "CREATE TRIGGER Refuse BEFORE INSERT ON Records WHEN NEW.Time > 45444.5 "
                          "BEGIN SELECT RAISE(ABORT, 'disk quota exceeded'); END;",
                          nullptr, nullptr, nullptr);
             sqlite3_close(db);
             ImportResult result = Import(next, "next.csv");
             sqlite3_open(store_.string().c_str(), &db);
             sqlite3_exec(db, "DROP TRIGGER Refuse;", nullptr, nullptr, nullptr);
             sqlite3_close(db);
             return result;
         },
         ImportStatus::StoreFailed, {"disk quota exceeded"}},
        {"a stop asked for half way",
         [&] {
             const auto stopHalfWay = [&](const ImportProgress& p) {
                 if (p.linesDone >= p.linesTotal / 2)
                     stopping.request_stop();
             };
             return Import(next, "next.csv", DateOrder::DayMonthYear, stopHalfWay, stopping.get_token());
         },
         ImportStatus::Abandoned, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages_.shown.clear();
        const ImportResult result = c.import();
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(messages_.Texts(), c.messages);
        EXPECT_EQ(result.summary.rowsStored, 0u);
        EXPECT_EQ(result.content.RowCount(), 0u);
        EXPECT_EQ(StoredRecords(store_), before);
        EXPECT_EQ(Noted().name, "20240101.csv");
        EXPECT_FALSE(fs::exists(temp_.Path() / "gone.db"));
    }
}

TEST_F(RecordingImportTest, AWorkerImportReportsLinesAndBytesUpToTheTotal)
{
    RecordingShape shape;
    shape.lines = 20000;
    shape.missingShare = 0.01;
    const std::string text = RecordingGenerator(shape).Text() + "\r\nnot a time\r\n";
    const fs::path file = temp_.Write("20240101.csv", text);
    std::vector<ImportProgress> reports;
    ImportResult result;
    std::jthread worker([&] {
        result = ImportRecording({file, "20240101.csv", store_, DateOrder::DayMonthYear}, messages_,
                                 [&](const ImportProgress& p) { reports.push_back(p); });
    });
    worker.join();
    ASSERT_EQ(result.status, ImportStatus::Imported);
    ASSERT_GE(reports.size(), 3u);
    for (std::size_t i = 1; i < reports.size(); ++i) {
        EXPECT_GE(reports[i].linesDone, reports[i - 1].linesDone);
        EXPECT_GE(reports[i].bytesDone, reports[i - 1].bytesDone);
    }
    const ImportProgress& last = reports.back();
    EXPECT_EQ(last.linesTotal, 20002u);
    EXPECT_EQ(last.linesDone, last.linesTotal);
    EXPECT_EQ(last.bytesTotal, text.size());
    EXPECT_EQ(last.bytesDone, last.bytesTotal);
    EXPECT_EQ(result.summary.linesRead, 20001u);
    EXPECT_EQ(result.summary.rowsStored, 20000u);
    EXPECT_EQ(result.summary.linesRefused, 1u);
}

TEST_F(RecordingImportTest, AGeneratedRecordingIsShownCellByCellAsItsLinesRead)
{
    RecordingShape shape;
    shape.lines = 6000;
    shape.missingShare = 0.05;
    shape.start = {2024, 2, 28, 22, 0, 0};
    RecordingGenerator generator(shape);
    const std::string text = generator.Text();
    const ImportResult result = ImportCleanly(text, "20240228.csv");
    ASSERT_EQ(result.content.RowCount(), 6000u);
    ASSERT_EQ(result.content.ColumnCount(), 19u);
    std::size_t lineStart = text.find('\n') + 1;
    for (std::size_t row = 0; row < 6000; ++row) {
        const std::size_t lineEnd = text.find("\r\n", lineStart);
        const std::string line = text.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 2;
        std::string joined(result.content.Cell(row, 0));
        for (std::size_t column = 1; column < 19; ++column)
            joined += "," + std::string(result.content.Cell(row, column));
        ASSERT_EQ(joined, line);
    }
    EXPECT_EQ(StoredRecords(store_).size(), 6000u);
}

}  // namespace
}  // namespace vorelle::test
