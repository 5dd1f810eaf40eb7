// A process killed in the middle of an import: the store must hold the
// previous recording, whole, and be sound.
#include "recordings/RecordingImport.h"

#include "support/KillHalfWay.h"
#include "support/MessageRecorder.h"
#include "support/RecordStoreTesting.h"
#include "support/RecordingGenerator.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace vorelle::test {
namespace {

namespace fs = std::filesystem;

std::string IntegrityCheck(const fs::path& store)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(store.string().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    std::string verdict;
    sqlite3_exec(
        db, "PRAGMA integrity_check",
        [](void* out, int, char** values, char**) {
            *static_cast<std::string*>(out) += values[0] ? values[0] : "NULL";
            return 0;
        },
        &verdict, nullptr);
    sqlite3_close(db);
    return verdict;
}

TEST(ImportKillTest, AnImportKilledHalfWayLeavesThePreviousRecordingWholeAndTheStoreSound)
{
    TempFolder temp;
    const fs::path store = temp.Path() / "QM710.db";
    MakeEmptyStore(store);
    RecordingShape shape;
    shape.lines = 3000;
    const fs::path previous = temp.Write("previous.csv", RecordingGenerator(shape).Text());
    shape.start = {2024, 3, 1, 0, 0, 0};
    shape.lines = 40000;
    const fs::path next = temp.Write("next.csv", RecordingGenerator(shape).Text());
    MessageRecorder messages;
    ASSERT_EQ(ImportRecording({previous, "previous.csv", store, {}}, messages).status, ImportStatus::Imported);
    const std::vector<WeatherRecord> before = StoredRecords(store);
    ASSERT_EQ(before.size(), 3000u);

    // Half way through the rows the import is killed with its transaction open.
    const test::KilledHalfWay killed = test::KillHalfWay(
        [&](const std::function<void()>& halfWay) {
            MessageRecorder childMessages;
            ImportRecording({next, "next.csv", store, {}}, childMessages, [&](const ImportProgress& p) {
                if (p.linesDone >= p.linesTotal / 2 && p.linesDone < p.linesTotal)
                    halfWay();
            });
        },
        store.string() + "-wal");
    ASSERT_TRUE(killed.reachedHalfWay) << "the child ended before it was half way";
    EXPECT_TRUE(killed.killed);
    EXPECT_GT(killed.logSize, 0u) << "the killed import had written part of its rows";

    EXPECT_EQ(IntegrityCheck(store), "ok");
    EXPECT_EQ(StoredRecords(store), before);
    // And the store takes the next import as if nothing had happened.
    const fs::path small = temp.Write("small.csv", "Time,Temp(C)\r\n2024-05-01 00:01,1.5\r\n");
    ASSERT_EQ(ImportRecording({small, "small.csv", store, {}}, messages).status, ImportStatus::Imported);
    EXPECT_EQ(StoredRecords(store).size(), 1u);
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace vorelle::test
