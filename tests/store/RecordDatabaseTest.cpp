#include "store/RecordDatabase.h"

#include "store/StoredRecording.h"
#include "support/RecordStoreTesting.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <fstream>
#include <functional>
#include <future>
#include <thread>

namespace vorelle::test {
namespace {

namespace fs = std::filesystem;

WeatherRecord Reading(const CivilTime& time, float outTemp, std::int32_t outHumi)
{
    WeatherRecord record;
    record.time = AutomationDate(time);
    record.outTemp = outTemp;
    record.outHumi = outHumi;
    return record;
}

// Replaces the store's rows with `records`.
void Store(const fs::path& store, const std::vector<WeatherRecord>& records)
{
    RecordDatabase db = OpenStore(store, StoreAccess::Write);
    ASSERT_TRUE(db.BeginImport());
    for (const WeatherRecord& record : records)
        ASSERT_TRUE(db.AppendRecord(record));
    ASSERT_TRUE(db.CommitImport());
}

double CountOf(const fs::path& store)
{
    return AskStore(store, "No", "1900-01-01 0:00:00", "9999-12-31 0:00:00").count.value_or(-1);
}

struct RangeCase {
    const char* name;
    const char* column;
    const char* start;
    const char* end;
    QueryAnswer expected;
};

TEST(RecordDatabaseTest, RangesExcludeTheStartIncludeTheEndAndSkipMissingValues)
{
    TempFolder temp;
    const fs::path store = temp.Path() / "QM710.db";
    MakeEmptyStore(store);
    Store(store, {Reading({2024, 6, 1, 10, 0, 0}, 20.5f, 50), Reading({2024, 6, 1, 10, 1, 0}, kMissingFloat, 60),
                  Reading({2024, 6, 1, 10, 2, 0}, 22.5f, kMissingValue),
                  Reading({2024, 6, 1, 10, 3, 0}, -3.25f, 70)});

    const RangeCase cases[] = {
        {"start equal to end matches nothing", "OutTemp", "2024-06-01 10:01:00", "2024-06-01 10:01:00",
         {0.0, std::nullopt, std::nullopt, {}}},
        {"a row on the start is out, a row on the end is in", "OutTemp", "2024-06-01 10:00:00",
         "2024-06-01 10:02:00", {1.0, 22.5, 22.5, {{"2024-06-01 10:02:00", 22.5}}}},
        {"the missing temperature's row still counts for humidity", "OutHumi", "2024-06-01 10:00:00",
         "2024-06-01 10:02:00", {1.0, 60.0, 60.0, {{"2024-06-01 10:01:00", 60.0}}}},
        {"the whole day, temperature", "OutTemp", "2024-06-01 0:00:00", "2024-06-02 0:00:00",
         {3.0, 22.5, -3.25,
          {{"2024-06-01 10:00:00", 20.5}, {"2024-06-01 10:02:00", 22.5}, {"2024-06-01 10:03:00", -3.25}}}},
        {"the whole day, humidity, name in any case", "outHUMI", "2024-06-01 0:00:00", "2024-06-02 0:00:00",
         {3.0, 70.0, 50.0,
          {{"2024-06-01 10:00:00", 50.0}, {"2024-06-01 10:01:00", 60.0}, {"2024-06-01 10:03:00", 70.0}}}},
        {"a range whose only temperature is missing has null extremes", "OutTemp", "2024-06-01 10:00:00",
         "2024-06-01 10:01:00", {0.0, std::nullopt, std::nullopt, {}}},
        {"a day without rows has null extremes", "OutTemp", "2024-05-31 0:00:00", "2024-06-01 0:00:00",
         {0.0, std::nullopt, std::nullopt, {}}},
        {"the end before the start matches nothing", "OutTemp", "2024-06-02 0:00:00", "2024-06-01 0:00:00",
         {0.0, std::nullopt, std::nullopt, {}}},
    };
    for (const RangeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QueryAnswer answer = AskStore(store, c.column, c.start, c.end);
        EXPECT_EQ(answer.count, c.expected.count);
        EXPECT_EQ(answer.max, c.expected.max);
        EXPECT_EQ(answer.min, c.expected.min);
        EXPECT_EQ(answer.rows, c.expected.rows);
    }
}

// Rows written by another program may hold nulls, text or integers where the
// import writes reals, and come in any order: the extremes are those of the
// numbers, as SQL's max and min of the numeric rows would give them, and
// the count is the statement's.
TEST(RecordDatabaseTest, ExtremesAreThoseOfTheNumbersAnotherProgramWroteInAnyOrder)
{
    TempFolder temp;
    const fs::path store = temp.Path() / "QM710.db";
    MakeEmptyStore(store);
    Store(store, {Reading({2024, 6, 1, 0, 0, 0}, 1.0f, 1)});  // imported, on the ranges' start
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(store.string().c_str(), &raw), SQLITE_OK);
    const double day = AutomationDate({2024, 6, 1, 0, 0, 0});
    // Every 14.4 minutes from 0:14:24; the first four are not numbers.
    const char* values[] = {"NULL", "65535", "'calm'", "x'00'", "7.5", "12", "65535.0", "-2.5"};
    for (std::size_t i = std::size(values); i-- > 0;) {
        const std::string row = "INSERT INTO Records (Time, Wind) VALUES (" + std::to_string(day + 0.01 * (i + 1)) +
                                ", " + values[i] + ");";
        ASSERT_EQ(sqlite3_exec(raw, row.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << row;
    }
    sqlite3_close(raw);

    const QueryAnswer whole = AskStore(store, "Wind", "2024-06-01 0:00:00", "2024-06-02 0:00:00");
    EXPECT_EQ(whole.max, 12.0);
    EXPECT_EQ(whole.min, -2.5);
    EXPECT_EQ(whole.count, 5.0) << "text and bytes are not 65535 either";
    const QueryAnswer noNumbers = AskStore(store, "Wind", "2024-06-01 0:00:00", "2024-06-01 1:00:00");
    EXPECT_EQ(noNumbers.max, std::nullopt);
    EXPECT_EQ(noNumbers.min, std::nullopt);
}

TEST(RecordDatabaseTest, EmptyTablesCountZeroAndClearWithoutComplaint)
{
    TempFolder temp;
    const fs::path store = temp.Path() / "QM710.db";
    MakeEmptyStore(store);
    RecordDatabase db = OpenStore(store, StoreAccess::Write);
    EXPECT_TRUE(db.ClearTables());
    const StoreResult<std::uint64_t> count = db.QueryCount("InTemp", {2000, 1, 1}, {2030, 1, 1});
    ASSERT_TRUE(count) << count.Error();
    EXPECT_EQ(count.Value(), 0u);

    Store(store, {Reading({2024, 6, 1, 10, 0, 0}, 1.0f, 1)});
    EXPECT_TRUE(db.ClearTables());
    EXPECT_EQ(CountOf(store), 0.0);
}

struct StoreFailureCase {
    const char* name;
    std::function<StoreStatus(const fs::path& folder)> action;
    std::string error;
};

// Reads what the store hands back as a status.
template <typename T>
StoreStatus StatusOf(StoreResult<T> result)
{
    return result ? StoreStatus(StoreDone{}) : StoreStatus(result.TakeError());
}

TEST(RecordDatabaseTest, FailuresCarrySqlitesTextOrTheStoresOwn)
{
    const CivilTime start{2024, 6, 1};
    const CivilTime end{2024, 6, 2};
    // A store with a day of readings.
    const auto stored = [](const fs::path& folder) {
        MakeEmptyStore(folder / "QM710.db");
        Store(folder / "QM710.db", {Reading({2024, 6, 1, 10, 0, 0}, 1.0f, 1)});
        return OpenStore(folder / "QM710.db", StoreAccess::Write);
    };
    const StoreFailureCase cases[] = {
        {"a missing store",
         [](const fs::path& folder) { return StatusOf(RecordDatabase::Open(folder / "QM710.db")); },
         "unable to open database file"},
        {"a file that is not a store",
         [](const fs::path& folder) {
             std::ofstream(folder / "QM710.db") << std::string(4096, 'x');
             return StatusOf(RecordDatabase::Open(folder / "QM710.db"));
         },
         "is not a record store of Vorelle 2: file is not a database"},
        {"a store without tables, queried",
         [](const fs::path& folder) {
             std::ofstream(folder / "QM710.db").flush();
             return StatusOf(RecordDatabase::Open(folder / "QM710.db"));
         },
         "is not a record store of Vorelle 2: no such table: Records"},
        {"a store without tables, imported into",
         [](const fs::path& folder) {
             std::ofstream(folder / "QM710.db").flush();
             return StatusOf(RecordDatabase::Open(folder / "QM710.db", StoreAccess::Write));
         },
         "is not a record store of Vorelle 2: no such table: Records"},
        {"a column that Records does not have",
         [&](const fs::path& folder) { return StatusOf(stored(folder).QueryMaxMin("Pressure", start, end)); },
         "no such column: Pressure"},
        {"a column name with more in it",
         [&](const fs::path& folder) {
             return StatusOf(stored(folder).QueryRange("OutTemp<>0 OR 1=1 --", start, end));
         },
         "no such column: OutTemp<>0 OR 1=1 --"},
        {"a reading earlier than the one before",
         [&](const fs::path& folder) {
             RecordDatabase db = stored(folder);
             EXPECT_TRUE(db.BeginImport() && db.AppendRecord(Reading({2024, 6, 1, 10, 0, 0}, 1.0f, 1)));
             return db.AppendRecord(Reading({2024, 6, 1, 9, 59, 59}, 1.0f, 1));
         },
         "The readings of an import must come in time order."},
        {"a reading without an import begun",
         [&](const fs::path& folder) { return stored(folder).AppendRecord(Reading({2024, 6, 1, 10, 0, 0}, 1.0f, 1)); },
         "bad parameter or other API misuse"},
        {"notes read after another program dropped them",
         [&](const fs::path& folder) {
             RecordDatabase db = stored(folder);
             sqlite3* raw = nullptr;
             EXPECT_EQ(sqlite3_open((folder / "QM710.db").string().c_str(), &raw), SQLITE_OK);
             EXPECT_EQ(sqlite3_exec(raw, "DROP TABLE Param;", nullptr, nullptr, nullptr), SQLITE_OK);
             sqlite3_close(raw);
             return StatusOf(StoredRecordingOf(db));
         },
         "no such table: Param"},
    };
    for (const StoreFailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder temp;
        const StoreStatus status = c.action(temp.Path());
        ASSERT_FALSE(status);
        EXPECT_TRUE(status.Error().ends_with(c.error)) << status.Error();
        if (c.error.ends_with("no such table: Records")) {
            EXPECT_EQ(fs::file_size(temp.Path() / "QM710.db"), 0u) << "a file not a store is left as it was";
        }
        if (c.error == "unable to open database file") {
            EXPECT_FALSE(fs::exists(temp.Path() / "QM710.db")) << "a missing store is never created";
        }
    }
}

// A store that is only read is never written, not even its journal mode: so
// a read-only store in a read-only folder can be queried.
TEST(RecordDatabaseTest, ReadingLeavesTheStoreFileAsItWas)
{
    TempFolder temp;
    const fs::path store = temp.Path() / "QM710.db";
    MakeEmptyStore(store);
    const std::string before = ReadWhole(store);
    fs::permissions(store, fs::perms::owner_read);
    fs::permissions(temp.Path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(CountOf(store), 0.0);
    fs::permissions(temp.Path(), fs::perms::owner_all);
    EXPECT_EQ(ReadWhole(store), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.Path()), {}), 1) << "nothing left beside it";
}

TEST(RecordDatabaseTest, AnImportNotCommittedLeavesThePreviousRowsWhole)
{
    TempFolder temp;
    const fs::path store = temp.Path() / "QM710.db";
    MakeEmptyStore(store);
    Store(store, {Reading({2024, 6, 1, 10, 0, 0}, 1.0f, 1), Reading({2024, 6, 1, 10, 1, 0}, 2.0f, 2)});
    const auto halfImport = [&](RecordDatabase& db) {
        ASSERT_TRUE(db.BeginImport());
        for (int minute = 0; minute < 100; ++minute)
            ASSERT_TRUE(db.AppendRecord(Reading({2024, 7, 1, 10 + minute / 60, minute % 60, 0}, 5.0f, 5)));
    };
    {
        RecordDatabase abandoned = OpenStore(store, StoreAccess::Write);
        halfImport(abandoned);
        abandoned.AbandonImport();
        EXPECT_EQ(CountOf(store), 2.0);
    }
    {
        RecordDatabase dropped = OpenStore(store, StoreAccess::Write);
        halfImport(dropped);
    }
    EXPECT_EQ(CountOf(store), 2.0);
    EXPECT_EQ(AskStore(store, "OutTemp", "2024-06-01 0:00:00", "2024-06-02 0:00:00").max, 2.0);
}

TEST(RecordDatabaseTest, AReaderOnAnotherThreadSeesOnlyWholeImports)
{
    TempFolder temp;
    const fs::path store = temp.Path() / "QM710.db";
    MakeEmptyStore(store);
    Store(store, {Reading({2024, 6, 1, 10, 0, 0}, 1.0f, 1)});

    std::promise<void> appended;
    std::promise<void> mayCommit;
    std::promise<void> committed;
    std::thread importer([&] {
        RecordDatabase db = OpenStore(store, StoreAccess::Write);
        EXPECT_TRUE(db.BeginImport());
        for (int minute = 0; minute < 50; ++minute)
            EXPECT_TRUE(db.AppendRecord(Reading({2024, 7, 1, 10, minute, 0}, 5.0f, 5)));
        appended.set_value();
        mayCommit.get_future().wait();
        EXPECT_TRUE(db.CommitImport());
        committed.set_value();
    });
    appended.get_future().wait();
    EXPECT_EQ(CountOf(store), 1.0) << "rows of an import not yet committed";
    mayCommit.set_value();
    committed.get_future().wait();
    EXPECT_EQ(CountOf(store), 50.0);
    importer.join();
}

}  // namespace
}  // namespace vorelle::test
