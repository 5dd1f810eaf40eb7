#include "records/RecordDatabase.h"

#include "support/MessageRecorder.h"
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

// Replaces the store's rows with `records`, expecting no message.
void Store(const fs::path& store, const std::vector<WeatherRecord>& records)
{
    MessageRecorder messages;
    RecordDatabase db(messages);
    ASSERT_EQ(db.Connect(store, StoreAccess::Write), 0);
    ASSERT_EQ(db.BeginImport(), 0);
    for (const WeatherRecord& record : records)
        ASSERT_EQ(db.AppendRecord(record), 0);
    ASSERT_EQ(db.CommitImport(), 0);
    EXPECT_TRUE(messages.shown.empty());
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
    MessageRecorder messages;
    RecordDatabase db(messages);
    ASSERT_EQ(db.Connect(store, StoreAccess::Write), 0);
    EXPECT_EQ(db.ClearTables(), 0);
    ASSERT_EQ(db.QueryCount({2030, 1, 1}, {2000, 1, 1}, "InTemp"), 0);
    EXPECT_FALSE(db.EndOfRows());
    EXPECT_EQ(db.Collect("Count"), 0.0);
    db.MoveNext();
    EXPECT_TRUE(db.EndOfRows());
    EXPECT_TRUE(messages.shown.empty());

    Store(store, {Reading({2024, 6, 1, 10, 0, 0}, 1.0f, 1)});
    ASSERT_EQ(db.Connect(store, StoreAccess::Write), 0);
    EXPECT_EQ(db.ClearTables(), 0);
    EXPECT_EQ(CountOf(store), 0.0);
}

struct StoreFailureCase {
    const char* name;
    std::function<int(RecordDatabase&, const fs::path& folder)> action;
    int status;
    std::string message;
};

TEST(RecordDatabaseTest, FailuresAreReportedOnceWithSqlitesTextUnderTheProgramsName)
{
    // A store with a day of readings, connected.
    const auto stored = [](RecordDatabase& db, const fs::path& folder) {
        MakeEmptyStore(folder / "QM710.db");
        Store(folder / "QM710.db", {Reading({2024, 6, 1, 10, 0, 0}, 1.0f, 1)});
        return db.Connect(folder / "QM710.db", StoreAccess::Write);
    };
    const CivilTime start{2024, 6, 1};
    const CivilTime end{2024, 6, 2};
    const StoreFailureCase cases[] = {
        {"a missing store",
         [](RecordDatabase& db, const fs::path& folder) { return db.Connect(folder / "QM710.db"); }, -1,
         "unable to open database file"},
        {"a file that is not a store",
         [](RecordDatabase& db, const fs::path& folder) {
             std::ofstream(folder / "QM710.db") << std::string(4096, 'x');
             return db.Connect(folder / "QM710.db");
         },
         -1, "is not a record store of Vorelle 2: file is not a database"},
        {"a store without tables, queried",
         [&](RecordDatabase& db, const fs::path& folder) {
             std::ofstream(folder / "QM710.db").flush();
             return db.Connect(folder / "QM710.db");
         },
         -1, "is not a record store of Vorelle 2: no such table: Records"},
        {"a store without tables, imported into",
         [](RecordDatabase& db, const fs::path& folder) {
             std::ofstream(folder / "QM710.db").flush();
             return db.Connect(folder / "QM710.db", StoreAccess::Write);
         },
         -1, "is not a record store of Vorelle 2: no such table: Records"},
        {"a column that Records does not have",
         [&](RecordDatabase& db, const fs::path& folder) {
             return stored(db, folder) + db.QueryMaxMin(end, start, "Pressure");
         },
         1, "no such column: Pressure"},
        {"a column name with more in it",
         [&](RecordDatabase& db, const fs::path& folder) {
             return stored(db, folder) + db.QueryRange(end, start, "OutTemp<>0 OR 1=1 --");
         },
         1, "no such column: OutTemp<>0 OR 1=1 --"},
        {"a reading earlier than the one before",
         [&](RecordDatabase& db, const fs::path& folder) {
             const int connected = stored(db, folder) + db.BeginImport() +
                                   db.AppendRecord(Reading({2024, 6, 1, 10, 0, 0}, 1.0f, 1));
             return connected + db.AppendRecord(Reading({2024, 6, 1, 9, 59, 59}, 1.0f, 1));
         },
         2, "The readings of an import must come in time order."},
        {"a reading without an import begun",
         [&](RecordDatabase& db, const fs::path& folder) {
             return stored(db, folder) + db.AppendRecord(Reading({2024, 6, 1, 10, 0, 0}, 1.0f, 1));
         },
         2, "bad parameter or other API misuse"},
    };
    for (const StoreFailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder temp;
        MessageRecorder messages;
        {
            RecordDatabase db(messages);
            EXPECT_EQ(c.action(db, temp.Path()), c.status);
        }
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_TRUE(messages.shown[0].text.ends_with(c.message)) << messages.shown[0].text;
        EXPECT_EQ(messages.shown[0].caption, "") << "empty: the program's name";
        if (c.message.ends_with("no such table: Records")) {
            EXPECT_EQ(fs::file_size(temp.Path() / "QM710.db"), 0u) << "a file not a store is left as it was";
        }
        if (c.status == -1) {
            EXPECT_EQ(fs::exists(temp.Path() / "QM710.db"), c.message != "unable to open database file")
                << "a missing store is never created";
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
        ASSERT_EQ(db.Connect(store, StoreAccess::Write), 0);
        ASSERT_EQ(db.BeginImport(), 0);
        for (int minute = 0; minute < 100; ++minute)
            ASSERT_EQ(db.AppendRecord(Reading({2024, 7, 1, 10 + minute / 60, minute % 60, 0}, 5.0f, 5)), 0);
    };
    MessageRecorder messages;
    {
        RecordDatabase abandoned(messages);
        halfImport(abandoned);
        abandoned.AbandonImport();
        EXPECT_EQ(CountOf(store), 2.0);
    }
    {
        RecordDatabase dropped(messages);
        halfImport(dropped);
    }
    EXPECT_EQ(CountOf(store), 2.0);
    EXPECT_EQ(AskStore(store, "OutTemp", "2024-06-01 0:00:00", "2024-06-02 0:00:00").max, 2.0);
    EXPECT_TRUE(messages.shown.empty());
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
        MessageRecorder messages;
        RecordDatabase db(messages);
        db.Connect(store, StoreAccess::Write);
        db.BeginImport();
        for (int minute = 0; minute < 50; ++minute)
            db.AppendRecord(Reading({2024, 7, 1, 10, minute, 0}, 5.0f, 5));
        appended.set_value();
        mayCommit.get_future().wait();
        db.CommitImport();
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
