#include "store/HistoryStore.h"

#include "support/FileSizeLimit.h"
#include "support/HistoryTesting.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace vorelle::test {
namespace {

namespace fs = std::filesystem;

struct MergeCase {
    const char* name;
    std::vector<std::vector<HistoryReading>> recordings;  // merged in turn
    std::vector<MergeCounts> counts;                      // of each merge
    std::vector<std::pair<CivilTime, double>> outTemps;   // held afterwards
};

TEST(HistoryStoreTest, MergesKeepOneReadingPerTimeAndOrdinal)
{
    const CivilTime t0{2024, 3, 1, 10, 0, 0}, t1{2024, 3, 1, 10, 1, 0}, t2{2024, 3, 1, 10, 2, 0},
        t3{2024, 3, 1, 10, 3, 0};
    const std::vector<HistoryReading> first = {At(t0, 1.5f), At(t1, 2.5f), At(t2, 3.5f)};
    // The console's clock going back an hour at 03:00 writes 02:00 to 02:59 twice.
    const CivilTime a{2024, 10, 27, 2, 0, 0}, b{2024, 10, 27, 2, 30, 0};
    const std::vector<HistoryReading> repeated = {At(a, 10.0f), At(b, 11.0f), At(a, 9.0f), At(b, 8.0f)};
    const MergeCase cases[] = {
        {"the same recording twice", {first, first}, {{3, 0, 0}, {0, 0, 3}}, {{t0, 1.5}, {t1, 2.5}, {t2, 3.5}}},
        {"an overlapping recording with one reading changed",
         {first, {At(t1, 2.5f), At(t2, -9.25f), At(t3, 4.5f)}},
         {{3, 0, 0}, {1, 1, 1}},
         {{t0, 1.5}, {t1, 2.5}, {t2, -9.25}, {t3, 4.5}}},
        {"the repeated hour of a clock change, twice",
         {repeated, repeated},
         {{4, 0, 0}, {0, 0, 4}},
         {{a, 10.0}, {a, 9.0}, {b, 11.0}, {b, 8.0}}},
        {"a reading gone missing is a change, and is left out",
         {first, {At(t1, kMissingFloat)}},
         {{3, 0, 0}, {0, 1, 0}},
         {{t0, 1.5}, {t2, 3.5}}},
    };
    for (const MergeCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder temp;
        HistoryStore store = OpenHistory(temp.Path() / kHistoryFile);
        for (std::size_t i = 0; i < c.recordings.size(); ++i) {
            const StoreResult<MergeCounts> merged = store.Merge(RecordingLayout::Main, c.recordings[i]);
            ASSERT_TRUE(merged) << merged.Error();
            EXPECT_EQ(merged.Value(), c.counts[i]) << "merge " << i;
        }
        std::vector<StorePoint> expected;
        for (const auto& [time, value] : c.outTemps)
            expected.push_back({*StoreSecondsOf(time), value});
        EXPECT_EQ(AllReadings(store, "OutTemp"), expected);
        // Every column in one read: each reading once, in the same order.
        std::vector<StorePoint> everyColumn;
        ASSERT_TRUE(store.EachReading(RecordingLayout::Main, {1900, 1, 1, 0, 0, 0}, {9999, 1, 1, 0, 0, 0},
                                      [&](StoreSeconds at, const ReadingValues& values) {
                                          if (const auto outTemp = values[*ValueColumnIndex("OutTemp") - 1])
                                              everyColumn.push_back({at, *outTemp});
                                      }));
        EXPECT_EQ(everyColumn, expected);
    }
}

struct OpenCase {
    const char* name;
    std::string made;  // what the other program did: SQL, or (`bytes`) the file's bytes
    bool bytes;
    std::string error;  // of Open, if it fails
    bool current;
    std::vector<StorePoint> outTemps;
};

TEST(HistoryStoreTest, AFileSomethingElseMadeIsTakenForWhatItHolds)
{
    const StoreSeconds t = *StoreSecondsOf({2024, 3, 1, 10, 0, 0});
    const std::string later = std::to_string(HistoryKey(t + 60, 0)), earlier = std::to_string(HistoryKey(t, 0));
    const OpenCase cases[] = {
        {"an empty database", "PRAGMA user_version = 1", false, "", true, {}},
        {"readings out of order, no summaries",
         "CREATE TABLE MainReadings (Key INTEGER, OutTemp); INSERT INTO MainReadings VALUES (" + later + ", 2.5), (" +
             earlier + ", 1.5)",
         false,
         "",
         false,
         {{t, 1.5}, {t + 60, 2.5}}},
        {"a history of another format",
         "CREATE TABLE Meta (Name, Value); INSERT INTO Meta VALUES ('Format', '2')",
         false,
         "The history file was written in a format this program does not know.",
         false,
         {}},
        {"not a database", std::string(4096, 'x'), true, "file is not a database", false, {}},
    };
    for (const OpenCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder temp;
        const fs::path file = c.bytes ? temp.Write(kHistoryFile, c.made) : temp.Path() / kHistoryFile;
        if (!c.bytes)
            ExecuteRaw(file, c.made);
        StoreResult<HistoryStore> store = HistoryStore::Open(file);
        ASSERT_EQ(store ? "" : store.Error(), c.error);
        if (!store)
            continue;
        EXPECT_EQ(store->SummariesCurrent().Value(), c.current);
        EXPECT_EQ(AllReadings(store.Value(), "OutTemp"), c.outTemps);
        const std::vector<HistoryBucket> days = store
                                                    ->Buckets(RecordingLayout::Main, "OutTemp", HistoryLevel::Days,
                                                              {1900, 1, 1, 0, 0, 0}, {2100, 1, 1, 0, 0, 0})
                                                    .Value();
        EXPECT_EQ(days.size(), c.outTemps.empty() ? 0u : 1u);
    }
}

struct MergeFailureCase {
    const char* name;
    std::function<std::unique_ptr<FileSizeLimit>()> during;
    std::vector<HistoryReading> recording;
    std::string message;
};

TEST(HistoryStoreTest, AFailedMergeLeavesTheHistoryAsItWas)
{
    const std::vector<HistoryReading> day = GeneratedReadings({2024, 5, 1, 0, 0, 0}, 1440, 1, 7);
    std::vector<HistoryReading> badTime = day;
    badTime[700].time = {2024, 2, 30, 12, 0, 0};
    const MergeFailureCase cases[] = {
        {"the disk full part way", [] { return std::make_unique<FileSizeLimit>(48 * 1024); }, day, "disk I/O error"},
        {"a time that does not exist", [] { return nullptr; }, badTime,
         "A reading's time is not a date and time: 2024-02-30 12:00:00"},
    };
    for (const MergeFailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder temp;
        const fs::path file = temp.Path() / kHistoryFile;
        ASSERT_TRUE(
            OpenHistory(file).Merge(RecordingLayout::Main, GeneratedReadings({2024, 4, 30, 22, 0, 0}, 300, 1, 3)));
        const std::vector<std::string> before = DumpHistory(file);
        HistoryStore store = OpenHistory(file);
        {
            const std::unique_ptr<FileSizeLimit> limit = c.during();
            const StoreResult<MergeCounts> merged = store.Merge(RecordingLayout::Main, c.recording);
            ASSERT_FALSE(merged);
            EXPECT_EQ(merged.Error(), c.message);
        }
        EXPECT_EQ(DumpHistory(file), before);
        EXPECT_TRUE(store.Merge(RecordingLayout::Main, day)) << "the history takes the next merge";
    }
}

// What the readings of a model come to per bucket, computed plainly.
std::vector<HistoryBucket> PlainBuckets(const std::map<std::pair<StoreSeconds, int>, std::optional<double>>& model,
                                        StoreSeconds from, StoreSeconds to, StoreSeconds span)
{
    std::vector<HistoryBucket> buckets;
    for (const auto& [key, value] : model) {
        if (key.first <= from || key.first > to || !value)
            continue;
        const StoreSeconds start = key.first - ((key.first % span) + span) % span;
        if (buckets.empty() || buckets.back().start != start || span == 1)
            buckets.push_back({start, *value, *value, *value, *value, 0.0, 0});
        HistoryBucket& b = buckets.back();
        b.lowest = std::min(b.lowest, *value);
        b.highest = std::max(b.highest, *value);
        b.last = *value;
        b.sum += *value;
        ++b.count;
    }
    return buckets;
}

void ExpectSameBuckets(const std::vector<HistoryBucket>& got, const std::vector<HistoryBucket>& expected)
{
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        HistoryBucket plain = expected[i];
        EXPECT_NEAR(got[i].sum, plain.sum, 1e-6 * std::max(1.0, std::fabs(plain.sum))) << "bucket " << i;
        plain.sum = got[i].sum;
        EXPECT_EQ(got[i], plain) << "bucket " << i;
    }
}

// The model: the readings of several overlapping merges, the later winning,
// per (second, ordinal), for a few columns; the history's answers must agree
// with it whether they come from the summaries or from the readings.
TEST(HistoryStoreTest, SummariesAgreeWithAPlainComputationAndSurviveAnotherProgram)
{
    TempFolder temp;
    const fs::path file = temp.Path() / kHistoryFile;
    HistoryStore store = OpenHistory(file);
    std::map<std::string, std::map<std::pair<StoreSeconds, int>, std::optional<double>>> model;
    const auto merge = [&](const std::vector<HistoryReading>& recording) {
        ASSERT_TRUE(store.Merge(RecordingLayout::Main, recording));
        std::map<StoreSeconds, int> seen;
        for (const HistoryReading& r : recording) {
            const std::pair key{*StoreSecondsOf(r.time), seen[*StoreSecondsOf(r.time)]++};
            model["OutTemp"][key] =
                r.record.outTemp == kMissingFloat ? std::nullopt : std::optional<double>(r.record.outTemp);
            model["OutHumi"][key] =
                r.record.outHumi == kMissingValue ? std::nullopt : std::optional<double>(r.record.outHumi);
            model["RainDay"][key] = r.record.rainDay;
        }
    };
    merge(GeneratedReadings({2024, 3, 1, 0, 0, 0}, 400, 7, 1));
    merge(GeneratedReadings({2024, 3, 2, 3, 0, 0}, 300, 5, 2));  // overlaps, different values
    merge(GeneratedReadings({2024, 3, 1, 12, 0, 0}, 50, 7, 3));  // the same times, different values
    std::vector<HistoryReading> repeated = GeneratedReadings({2024, 3, 3, 1, 0, 0}, 12, 10, 4);
    for (HistoryReading r : GeneratedReadings({2024, 3, 3, 1, 0, 0}, 6, 10, 5))
        repeated.push_back(r);
    merge(repeated);

    const auto checkAnswers = [&](const char* when) {
        SCOPED_TRACE(when);
        const std::pair<CivilTime, CivilTime> ranges[] = {{{1900, 1, 1, 0, 0, 0}, {2100, 1, 1, 0, 0, 0}},
                                                          {{2024, 3, 1, 5, 17, 0}, {2024, 3, 2, 13, 40, 0}},
                                                          {{2024, 3, 2, 0, 0, 0}, {2024, 3, 3, 0, 0, 0}}};
        for (const auto& [column, readings] : model) {
            for (const auto& [from, to] : ranges) {
                for (const HistoryLevel level : {HistoryLevel::Readings, HistoryLevel::Hours, HistoryLevel::Days}) {
                    SCOPED_TRACE(column + " " + FormatRecordTime(from) + " level " + std::to_string(LevelSpan(level)));
                    const StoreResult<std::vector<HistoryBucket>> got =
                        store.Buckets(RecordingLayout::Main, column, level, from, to);
                    ASSERT_TRUE(got) << got.Error();
                    ExpectSameBuckets(got.Value(), PlainBuckets(readings, *StoreSecondsOf(from),
                                                                *StoreSecondsOf(to), LevelSpan(level)));
                }
            }
        }
    };
    checkAnswers("as merged");
    const std::vector<std::string> merged = DumpHistory(file);
    const char* foreign[] = {"UPDATE Summaries SET Highest = Highest + 1000, Count = Count + 1",
                             "DELETE FROM Summaries WHERE Span = 3600 AND Start % 7200 = 0"};
    for (const char* change : foreign) {
        SCOPED_TRACE(change);
        ExecuteRaw(file, change);
        EXPECT_FALSE(store.SummariesCurrent().Value());
        checkAnswers("after another program's change");
        const StoreResult<std::uint64_t> rebuilt = store.RebuildSummaries();
        ASSERT_TRUE(rebuilt) << rebuilt.Error();
        EXPECT_EQ(rebuilt.Value(), model["OutTemp"].size());
        EXPECT_TRUE(store.SummariesCurrent().Value());
        EXPECT_EQ(DumpHistory(file), merged) << "the rebuild gives what the merges kept";
    }
    // A reading another program added, before others in time.
    const StoreSeconds added = *StoreSecondsOf({2024, 3, 1, 0, 0, 30});
    ExecuteRaw(file,
               "INSERT INTO MainReadings (Key, OutTemp) VALUES (" + std::to_string(HistoryKey(added, 0)) + ", 99.0)");
    model["OutTemp"][{added, 0}] = 99.0;
    model["OutHumi"][{added, 0}] = model["RainDay"][{added, 0}] = std::nullopt;
    checkAnswers("after another program's reading");
    ASSERT_TRUE(store.RebuildSummaries());
    checkAnswers("rebuilt after another program's reading");
}

}  // namespace
}  // namespace vorelle::test
