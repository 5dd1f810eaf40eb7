#pragma once

#include "store/DataFolder.h"
#include "store/HistoryBucket.h"
#include "store/HistoryTime.h"
#include "store/HistoryValues.h"
#include "store/RecordTime.h"
#include "store/RecordingLayout.h"
#include "store/StorePoint.h"
#include "store/StoreResult.h"
#include "store/StoreSql.h"
#include "store/StoredRecording.h"
#include "store/WeatherRecord.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vorelle {

// One reading of a recording as a merge takes it: its wall-clock time and
// its values (record.time is not read).
struct HistoryReading {
    CivilTime time;
    WeatherRecord record;
};

// What a merge did with a recording's readings.
struct MergeCounts {
    std::uint64_t added = 0;      // no reading was held for its time
    std::uint64_t changed = 0;    // replaced the different reading held for its time
    std::uint64_t unchanged = 0;  // the same reading was held already

    MergeCounts& operator+=(const MergeCounts& more)
    {
        added += more.added;
        changed += more.changed;
        unchanged += more.unchanged;
        return *this;
    }
    friend bool operator==(const MergeCounts&, const MergeCounts&) = default;
};

// The recording a merge's readings come from: its name on the console, and
// how many bytes of the card file the text they were read from held.
struct MergedRecording {
    std::string name;
    std::uint64_t bytes = 0;
};

struct MergeProgress {
    std::uint64_t done = 0;
    std::uint64_t total = 0;
};
using MergeProgressCallback = std::function<void(const MergeProgress&)>;

// How finely a range is read: every reading, or what each hour or day of
// readings comes to.
enum class HistoryLevel { Readings, Hours, Days };

StoreSeconds LevelSpan(HistoryLevel level);  // 1, 3600, 86400

// The seconds of the first and the last reading of a kind the history holds.
struct HeldTimes {
    StoreSeconds first = 0;
    StoreSeconds last = 0;

    friend bool operator==(const HeldTimes&, const HeldTimes&) = default;
};

// The lasting history, History.db (HistorySchema.h has its tables): every
// reading of every recording merged into it, one per wall-clock time, with
// hourly and daily summaries so that a graph reads years as quickly as hours.
//
// Ranges mean what the record store's statements mean: a reading is in the
// range from `from` to `to` when from < time <= to, and a column's missing
// readings are left out. Every answer keeps that meaning whether it comes
// from the summaries or, when the summaries are not current (see
// SummariesCurrent), from the readings themselves.
//
// Threads: one object belongs to one thread at a time. Several objects, in
// several threads or processes, may use the same file at once: readers see
// the last committed merge, never a part of one; a writer waits up to a few
// seconds for another to finish.
class HistoryStore {
public:
    // Opens the history at `file`, creating it (not its folder) if missing,
    // in the write-ahead log with normal synchronisation: a crash or a power
    // loss keeps every committed merge and shows none in part.
    static StoreResult<HistoryStore> Open(const std::filesystem::path& file);

    // The file connected to.
    std::filesystem::path File() const;

    // Merges the readings of one recording, in the order the recording has
    // them, all or none, in one transaction that also brings the summaries
    // of every hour and day it changed up to date. Each reading's key is its
    // time and the number of earlier readings of `readings` with that time,
    // so merging the same recording again finds the same keys: a reading
    // already held the same is left, one held different is replaced.
    // Readings held at times the recording does not have are kept. A failure
    // (SQLite's message: a full disk, another writer too long at work) leaves
    // the history as it was. `progress` is told now and then how many
    // readings have been gone through, and once more, all of them, after the
    // commit. With `source`, the merge also notes, in its transaction, how
    // much of that recording the history now holds (MergedRecordings); with
    // `units`, the units the recording was written in, unless a recording
    // that reaches later was noted: the kind's readings are shown in the
    // units of its newest recording (Units).
    StoreResult<MergeCounts> Merge(RecordingLayout kind, std::span<const HistoryReading> readings,
                                     const MergeProgressCallback& progress = {},
                                     const MergedRecording* source = nullptr, const UnitLabels* units = nullptr);

    // What the merges noted of each recording: its bytes merged last, by name.
    StoreResult<std::map<std::string, std::uint64_t>> MergedRecordings();

    // Computes every summary again from the readings and marks them current,
    // in one transaction. Returns how many readings it went through.
    StoreResult<std::uint64_t> RebuildSummaries();

    // Whether the summaries were last written by this program's merges and
    // rebuilds; when another program has changed the readings or the
    // summaries, or made the file, they are not, until a rebuild.
    StoreResult<bool> SummariesCurrent();

    // The readings of `column` (a value column of kRecordColumns, any case)
    // in the range, in time order (the readings of a repeated hour in the
    // order they were recorded).
    StoreResult<std::vector<StorePoint>> Readings(RecordingLayout kind, std::string_view column,
                                                      const CivilTime& from, const CivilTime& to);

    // Every value column of the readings of `kind` in the range, in time
    // order, handed to `take` a reading at a time: one run through the
    // table, and a range of years is never held in memory at once. A value
    // another program wrote that is not a number is none, as the other
    // reads leave it out.
    StoreStatus EachReading(RecordingLayout kind, const CivilTime& from, const CivilTime& to,
                            const std::function<void(StoreSeconds, const ReadingValues&)>& take);

    // What the readings of `column` in the range come to per hour or per day
    // (per reading at HistoryLevel::Readings), in time order; buckets without
    // a reading are left out. The buckets at the ends of the range hold only
    // the readings inside it.
    StoreResult<std::vector<HistoryBucket>> Buckets(RecordingLayout kind, std::string_view column, HistoryLevel level,
                                                      const CivilTime& from, const CivilTime& to);

    // When the readings of `kind` begin and end; none when the history
    // holds none of them.
    StoreResult<std::optional<HeldTimes>> Held(RecordingLayout kind);

    // The units the merges noted for `kind`; empty labels when none were.
    StoreResult<UnitLabels> Units(RecordingLayout kind);

private:
    explicit HistoryStore(SqlConnection db) : db_(std::move(db)) {}

    // A column's readings from the second `begin` up to, not including,
    // the second `end`.
    struct ColumnRange {
        RecordingLayout kind = RecordingLayout::Main;
        std::size_t column = 0;
        StoreSeconds begin = 0;
        StoreSeconds end = 0;
    };

    // The seconds of a range: from its first, up to, not including, `end`.
    struct SecondsRange {
        StoreSeconds begin = 0;
        StoreSeconds end = 0;
    };
    static StoreResult<SecondsRange> SecondsOf(const CivilTime& from, const CivilTime& to);
    StoreResult<ColumnRange> RangeOf(RecordingLayout kind, std::string_view column, const CivilTime& from,
                                       const CivilTime& to);
    StoreStatus ReadColumn(const ColumnRange& range, const std::function<void(StoreSeconds, double)>& take);
    StoreResult<std::vector<HistoryBucket>> ReadingBuckets(const ColumnRange& range);
    StoreResult<std::vector<HistoryBucket>> SummaryBuckets(const ColumnRange& range, HistoryLevel level);
    StoreStatus StoredSummaries(const ColumnRange& range, HistoryLevel level, std::vector<HistoryBucket>& out);
    StoreStatus RecomputeSummaries(RecordingLayout kind, std::span<const StoreSeconds> touchedHours);

    SqlConnection db_;
};

}  // namespace vorelle
