// A process killed in the middle of a merge: the history must be as it was,
// and sound.
#include "support/HistoryTesting.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>

#include <sys/wait.h>
#include <unistd.h>

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

    int halfWay[2];
    ASSERT_EQ(pipe(halfWay), 0);
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        // Half way through the readings, the child says so and waits to be
        // killed with its transaction open.
        close(halfWay[0]);
        StoreResult<HistoryStore> store = HistoryStore::Open(file);
        if (store) {
            (void)store->Merge(RecordingLayout::Main, next, [&](const MergeProgress& p) {
                if (p.done >= p.total / 2 && p.done < p.total) {
                    [[maybe_unused]] const ssize_t told = write(halfWay[1], "h", 1);
                    for (;;)
                        pause();
                }
            });
        }
        _exit(1);
    }
    close(halfWay[1]);
    char said = 0;
    const ssize_t heard = read(halfWay[0], &said, 1);
    close(halfWay[0]);
    std::error_code error;
    const auto logSize = std::filesystem::file_size(file.string() + "-wal", error);
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_EQ(heard, 1) << "the child ended before it was half way";
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    EXPECT_GT(logSize, 0u) << "the killed merge had written part of its readings";

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
