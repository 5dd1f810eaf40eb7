// Merging a recording into the history, and keeping the summaries: the
// merge's own, of the hours and days it changed, and the rebuild of all.
#include "store/HistorySchema.h"
#include "store/HistoryStore.h"
#include "store/HistoryValues.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <bitset>
#include <cmath>
#include <string>

namespace vorelle {

namespace {

constexpr std::size_t kHoursOfDay = 24;
// Progress is passed on every so many readings.
constexpr std::uint64_t kMergeProgressReadings = 4096;

// "Key, No, InHumi, ..., Light": result column i of a row is column i of
// kRecordColumns.
std::string AllColumns()
{
    std::string columns = "Key";
    for (std::size_t column = kFirstValueColumn; column < kRecordColumns.size(); ++column)
        columns += ", " + std::string(kRecordColumns[column]);
    return columns;
}

ReadingValues StoredReadingValues(sqlite3_stmt* row)
{
    ReadingValues values;
    for (std::size_t column = kFirstValueColumn; column < kRecordColumns.size(); ++column)
        values[column - kFirstValueColumn] = StoredValue(row, static_cast<int>(column), column);
    return values;
}

// Writes one kind's summaries, one bucket of one column at a time.
class SummaryWriter {
public:
    static StoreResult<SummaryWriter> Prepare(sqlite3* db, RecordingLayout kind)
    {
        StoreResult<SqlStatement> upsert =
            PrepareSql(db,
                       "INSERT OR REPLACE INTO Summaries (Kind, Span, Quantity, Start, Lowest, Highest, First,"
                       " Last, Sum, Count) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)");
        if (!upsert)
            return upsert.TakeError();
        StoreResult<SqlStatement> remove =
            PrepareSql(db, "DELETE FROM Summaries WHERE Kind = ?1 AND Span = ?2 AND Quantity = ?3 AND Start = ?4");
        if (!remove)
            return remove.TakeError();
        return SummaryWriter(db, SummaryKindNumber(kind), std::move(upsert.Value()), std::move(remove.Value()));
    }

    // A bucket without readings has no row: one held is deleted when
    // `replacing`.
    StoreStatus Write(StoreSeconds span, std::size_t column, const HistoryBucket& bucket, bool replacing)
    {
        if (bucket.count == 0 && !replacing)
            return StoreDone{};
        sqlite3_stmt* statement = bucket.count > 0 ? upsert_.get() : remove_.get();
        sqlite3_bind_int(statement, 1, kind_);
        sqlite3_bind_int64(statement, 2, span);
        sqlite3_bind_int64(statement, 3, static_cast<sqlite3_int64>(column));
        sqlite3_bind_int64(statement, 4, bucket.start);
        if (bucket.count > 0) {
            BindStoredValue(statement, 5, column, bucket.lowest);
            BindStoredValue(statement, 6, column, bucket.highest);
            BindStoredValue(statement, 7, column, bucket.first);
            BindStoredValue(statement, 8, column, bucket.last);
            BindPlainNumber(statement, 9, bucket.sum);
            sqlite3_bind_int64(statement, 10, static_cast<sqlite3_int64>(bucket.count));
        }
        return StepToEnd(db_, statement);
    }

private:
    SummaryWriter(sqlite3* db, int kind, SqlStatement upsert, SqlStatement remove)
        : db_(db), kind_(kind), upsert_(std::move(upsert)), remove_(std::move(remove))
    {
    }

    sqlite3* db_;
    int kind_;
    SqlStatement upsert_;
    SqlStatement remove_;
};

// The summaries of one day, from its readings handed in key order.
class DaySummaries {
public:
    void Reset(StoreSeconds dayStart)
    {
        for (std::size_t column = 0; column < kValueColumns; ++column) {
            days_[column] = {};
            days_[column].start = dayStart;
            for (std::size_t hour = 0; hour < kHoursOfDay; ++hour) {
                hours_[column][hour] = {};
                hours_[column][hour].start = dayStart + static_cast<StoreSeconds>(hour) * kHistoryHour;
            }
        }
        dayStart_ = dayStart;
    }

    StoreSeconds DayStart() const { return dayStart_; }

    void Add(StoreSeconds seconds, const ReadingValues& values)
    {
        const auto hour = static_cast<std::size_t>((seconds - dayStart_) / kHistoryHour);
        for (std::size_t column = 0; column < kValueColumns; ++column) {
            const std::optional<double>& value = values[column];
            if (!value || std::isnan(*value))
                continue;
            const HistoryBucket reading = ReadingBucket(seconds, *value);
            AddToBucket(hours_[column][hour], reading);
            AddToBucket(days_[column], reading);
        }
    }

    // The day's summary and those of the `hours` asked for.
    StoreStatus Write(SummaryWriter& writer, const std::bitset<kHoursOfDay>& hours, bool replacing)
    {
        for (std::size_t column = 0; column < kValueColumns; ++column) {
            const std::size_t quantity = column + kFirstValueColumn;
            if (StoreStatus written = writer.Write(kHistoryDay, quantity, days_[column], replacing); !written)
                return written;
            for (std::size_t hour = 0; hour < kHoursOfDay; ++hour) {
                if (!hours[hour])
                    continue;
                if (StoreStatus written = writer.Write(kHistoryHour, quantity, hours_[column][hour], replacing);
                    !written)
                    return written;
            }
        }
        return StoreDone{};
    }

private:
    StoreSeconds dayStart_ = 0;
    std::array<std::array<HistoryBucket, kHoursOfDay>, kValueColumns> hours_;
    std::array<HistoryBucket, kValueColumns> days_;
};

// A reading of the recording, where it goes.
struct KeyedReading {
    StoreSeconds seconds;
    std::uint32_t index;  // in the recording
    std::int64_t key;
};

// The keys of a recording's readings, in key order.
StoreResult<std::vector<KeyedReading>> KeysOf(std::span<const HistoryReading> readings)
{
    std::vector<KeyedReading> keyed;
    keyed.reserve(readings.size());
    for (std::size_t i = 0; i < readings.size(); ++i) {
        const std::optional<StoreSeconds> seconds = StoreSecondsOf(readings[i].time);
        if (!seconds)
            return StoreError{"A reading's time is not a date and time: " + FormatRecordTime(readings[i].time)};
        keyed.push_back({*seconds, static_cast<std::uint32_t>(i), 0});
    }
    // Sorted by time, the readings of one time stay in the recording's order.
    const auto earlier = [](const KeyedReading& a, const KeyedReading& b) { return a.seconds < b.seconds; };
    if (!std::is_sorted(keyed.begin(), keyed.end(), earlier))
        std::stable_sort(keyed.begin(), keyed.end(), earlier);
    std::uint32_t ordinal = 0;
    for (std::size_t i = 0; i < keyed.size(); ++i) {
        ordinal = i > 0 && keyed[i - 1].seconds == keyed[i].seconds ? ordinal + 1 : 0;
        if (ordinal > kMaxOrdinal)
            return StoreError{"The recording has too many readings at " +
                                FormatRecordTime(readings[keyed[i].index].time) + "."};
        keyed[i].key = HistoryKey(keyed[i].seconds, ordinal);
    }
    return keyed;
}

StoreResult<bool> AnyReadingBetween(sqlite3* db, const std::string& table, std::int64_t first, std::int64_t last)
{
    StoreResult<SqlStatement> any =
        PrepareSql(db, "SELECT 1 FROM " + table + " WHERE Key >= ?1 AND Key <= ?2 LIMIT 1");
    if (!any)
        return any.TakeError();
    sqlite3_bind_int64(any->get(), 1, first);
    sqlite3_bind_int64(any->get(), 2, last);
    const int stepped = sqlite3_step(any->get());
    if (stepped != SQLITE_ROW && stepped != SQLITE_DONE)
        return SqlError(db);
    return stepped == SQLITE_ROW;
}

StoreStatus NoteMergedRecording(sqlite3* db, const MergedRecording& source)
{
    StoreResult<SqlStatement> note =
        PrepareSql(db, "INSERT OR REPLACE INTO MergedRecordings (Name, Bytes) VALUES (?1, ?2)");
    if (!note)
        return note.TakeError();
    sqlite3_bind_text(note->get(), 1, source.name.data(), static_cast<int>(source.name.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int64(note->get(), 2, static_cast<sqlite3_int64>(source.bytes));
    return StepToEnd(db, note->get());
}

}  // namespace

StoreResult<std::map<std::string, std::uint64_t>> HistoryStore::MergedRecordings()
{
    StoreResult<SqlStatement> rows = PrepareSql(db_.get(), "SELECT Name, Bytes FROM MergedRecordings");
    if (!rows)
        return rows.TakeError();
    std::map<std::string, std::uint64_t> merged;
    int stepped = SQLITE_ROW;
    while ((stepped = sqlite3_step(rows->get())) == SQLITE_ROW) {
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(rows->get(), 0));
        merged[std::string(name ? name : "", static_cast<std::size_t>(sqlite3_column_bytes(rows->get(), 0)))] =
            static_cast<std::uint64_t>(sqlite3_column_int64(rows->get(), 1));
    }
    if (stepped != SQLITE_DONE)
        return SqlError(db_.get());
    return merged;
}

StoreResult<MergeCounts> HistoryStore::Merge(RecordingLayout kind, std::span<const HistoryReading> readings,
                                               const MergeProgressCallback& progress, const MergedRecording* source,
                                               const UnitLabels* units)
{
    StoreResult<std::vector<KeyedReading>> keys = KeysOf(readings);
    if (!keys)
        return keys.TakeError();
    const std::vector<KeyedReading>& keyed = keys.Value();
    sqlite3* db = db_.get();
    StoreResult<SqlTransaction> transaction = SqlTransaction::Begin(db);
    if (!transaction)
        return transaction.TakeError();

    const std::string table = ReadingsTableName(kind);
    const std::string columns = AllColumns();
    std::string placeholders = "?1";
    for (std::size_t column = kFirstValueColumn; column < kRecordColumns.size(); ++column)
        placeholders += ", ?" + std::to_string(column + 1);
    StoreResult<SqlStatement> write =
        PrepareSql(db, "INSERT OR REPLACE INTO " + table + " (" + columns + ") VALUES (" + placeholders + ")");
    if (!write)
        return write.TakeError();
    // Into a stretch of time the history holds nothing of, every reading is
    // new, and none needs looking up.
    StoreResult<bool> anyHeld =
        keyed.empty() ? StoreResult<bool>(false) : AnyReadingBetween(db, table, keyed.front().key, keyed.back().key);
    if (!anyHeld)
        return anyHeld.TakeError();
    StoreResult<SqlStatement> lookup = PrepareSql(db, "SELECT " + columns + " FROM " + table + " WHERE Key = ?1");
    if (!lookup)
        return lookup.TakeError();

    MergeCounts counts;
    std::vector<StoreSeconds> touchedHours;
    MergeProgress done{0, keyed.size()};
    for (const KeyedReading& reading : keyed) {
        if (progress && done.done % kMergeProgressReadings == 0)
            progress(done);
        ++done.done;
        const ReadingValues values = ValuesOf(readings[reading.index].record);
        bool held = false;
        if (anyHeld.Value()) {
            sqlite3_stmt* found = lookup->get();
            sqlite3_bind_int64(found, 1, reading.key);
            const int stepped = sqlite3_step(found);
            if (stepped != SQLITE_ROW && stepped != SQLITE_DONE)
                return SqlError(db);
            held = stepped == SQLITE_ROW;
            const bool same = held && StoredReadingValues(found) == values;
            sqlite3_reset(found);
            if (same) {
                ++counts.unchanged;
                continue;
            }
        }
        ++(held ? counts.changed : counts.added);
        sqlite3_stmt* statement = write->get();
        sqlite3_bind_int64(statement, 1, reading.key);
        for (std::size_t column = kFirstValueColumn; column < kRecordColumns.size(); ++column)
            BindStoredValue(statement, static_cast<int>(column + 1), column, values[column - kFirstValueColumn]);
        if (StoreStatus written = StepToEnd(db, statement); !written)
            return written.TakeError();
        const StoreSeconds hour = BucketStartOf(reading.seconds, kHistoryHour);
        if (touchedHours.empty() || touchedHours.back() != hour)
            touchedHours.push_back(hour);
    }
    if (StoreStatus summarised = RecomputeSummaries(kind, touchedHours); !summarised)
        return summarised.TakeError();
    if (source) {
        if (StoreStatus noted = NoteMergedRecording(db, *source); !noted)
            return noted.TakeError();
    }
    if (units && !keyed.empty()) {
        if (StoreStatus noted = NoteUnits(db, kind, *units, keyed.back().seconds); !noted)
            return noted.TakeError();
    }
    if (StoreStatus committed = transaction->Commit(); !committed)
        return committed.TakeError();
    if (progress) {
        done.done = done.total;
        progress(done);
    }
    return counts;
}

StoreStatus HistoryStore::RecomputeSummaries(RecordingLayout kind, std::span<const StoreSeconds> touchedHours)
{
    sqlite3* db = db_.get();
    StoreResult<SummaryWriter> writer = SummaryWriter::Prepare(db, kind);
    if (!writer)
        return writer.TakeError();
    StoreResult<SqlStatement> rows = PrepareSql(db, "SELECT " + AllColumns() + " FROM " + ReadingsTableName(kind) +
                                                          " WHERE Key >= ?1 AND Key < ?2 ORDER BY Key");
    if (!rows)
        return rows.TakeError();
    DaySummaries day;
    for (std::size_t at = 0; at < touchedHours.size();) {
        // A day's readings are read once for all its hours the merge changed.
        day.Reset(BucketStartOf(touchedHours[at], kHistoryDay));
        std::bitset<kHoursOfDay> hours;
        for (; at < touchedHours.size() && touchedHours[at] < day.DayStart() + kHistoryDay; ++at)
            hours.set(static_cast<std::size_t>((touchedHours[at] - day.DayStart()) / kHistoryHour));
        sqlite3_stmt* statement = rows->get();
        sqlite3_bind_int64(statement, 1, HistoryKey(day.DayStart(), 0));
        sqlite3_bind_int64(statement, 2, HistoryKey(day.DayStart() + kHistoryDay, 0));
        int stepped = SQLITE_ROW;
        while ((stepped = sqlite3_step(statement)) == SQLITE_ROW)
            day.Add(SecondsOfKey(sqlite3_column_int64(statement, 0)), StoredReadingValues(statement));
        sqlite3_reset(statement);
        if (stepped != SQLITE_DONE)
            return SqlError(db);
        if (StoreStatus written = day.Write(writer.Value(), hours, true); !written)
            return written;
    }
    return StoreDone{};
}

StoreResult<std::uint64_t> HistoryStore::RebuildSummaries()
{
    sqlite3* db = db_.get();
    StoreResult<SqlTransaction> transaction = SqlTransaction::Begin(db);
    if (!transaction)
        return transaction.TakeError();
    if (StoreStatus emptied = ExecuteSql(db, "DELETE FROM Summaries"); !emptied)
        return emptied.TakeError();
    std::uint64_t readings = 0;
    std::bitset<kHoursOfDay> everyHour;
    everyHour.set();
    for (const RecordingLayout kind : kHistoryKinds) {
        StoreResult<SummaryWriter> writer = SummaryWriter::Prepare(db, kind);
        if (!writer)
            return writer.TakeError();
        StoreResult<SqlStatement> rows =
            PrepareSql(db, "SELECT " + AllColumns() + " FROM " + ReadingsTableName(kind) + " ORDER BY Key");
        if (!rows)
            return rows.TakeError();
        DaySummaries day;
        bool dayOpen = false;
        int stepped = SQLITE_ROW;
        while ((stepped = sqlite3_step(rows->get())) == SQLITE_ROW) {
            const StoreSeconds seconds = SecondsOfKey(sqlite3_column_int64(rows->get(), 0));
            const StoreSeconds dayStart = BucketStartOf(seconds, kHistoryDay);
            if (!dayOpen || dayStart != day.DayStart()) {
                if (dayOpen) {
                    if (StoreStatus written = day.Write(writer.Value(), everyHour, false); !written)
                        return written.TakeError();
                }
                day.Reset(dayStart);
                dayOpen = true;
            }
            day.Add(seconds, StoredReadingValues(rows->get()));
            ++readings;
        }
        if (stepped != SQLITE_DONE)
            return SqlError(db);
        if (dayOpen) {
            if (StoreStatus written = day.Write(writer.Value(), everyHour, false); !written)
                return written.TakeError();
        }
    }
    if (StoreStatus marked = MarkSummariesCurrent(db); !marked)
        return marked.TakeError();
    if (StoreStatus committed = transaction->Commit(); !committed)
        return committed.TakeError();
    return readings;
}

}  // namespace vorelle
