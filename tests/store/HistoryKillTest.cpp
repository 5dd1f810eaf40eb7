// A process killed in the middle of a merge: the history must be as it was,
// and sound.
#include "support/HistoryTesting.h"
#include "support/KillHalfWay.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace vorelle::test {
namespace {

TEST(HistoryKillTest, AMergeKilledHalfWayLeavesTheHistoryAsItWasAndSound)
{
    TempFolder temp;
    const std::filesystem::path file = temp.Path() / kHistoryFile;
    ASSERT_TRUE(OpenHistory(file).Merge(RecordingLayout::Main, GeneratedReadings({2024, 1, 1, 0, 0, 0}, 3000, 1, 1)));
    const std::vector<std::string> before = DumpHistory(file);
    // Overlapping the readings held and going on past them.
    const std::vector<HistoryReading> next = GeneratedReadings({2024, 1, 2, 0, 0, 0}, 120000, 1, 2);

    // Half way through the readings the merge is killed with its transaction open.
    const test::KilledHalfWay killed = test::KillHalfWay(
        [&](const std::function<void()>& halfWay) {
            StoreResult<HistoryStore> store = HistoryStore::Open(file);
            if (store)
                (void)store->Merge(RecordingLayout::Main, next, [&](const MergeProgress& p) {
                    if (p.done >= p.total / 2 && p.done < p.total)
                        halfWay();
                });
        },
        file.string() + "-wal");
    ASSERT_TRUE(killed.reachedHalfWay) << "the child ended before it was half way";
    EXPECT_TRUE(killed.killed);
    EXPECT_GT(killed.logSize, 0u) << "the killed merge had written part of its readings";

    EXPECT_EQ(ExecuteRaw(file, "PRAGMA integrity_check"), "ok\n");
    EXPECT_EQ(DumpHistory(file), before);
    // The history takes the same merge as if nothing had happened.
    HistoryStore store = OpenHistory(file);
    const StoreResult<MergeCounts> merged = store.Merge(RecordingLayout::Main, next);
    ASSERT_TRUE(merged) << merged.Error();
    EXPECT_EQ(merged->added + merged->changed + merged->unchanged, next.size());
}

}  // namespace
}  // namespace vorelle::test
