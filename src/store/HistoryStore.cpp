#include "store/HistoryStore.h"

#include "store/HistorySchema.h"
#include "store/HistoryValues.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>

namespace vorelle {

namespace {

// How long a writer waits for another connection's write to end.
constexpr int kHistoryBusyTimeoutMs = 5000;

// The write-ahead log with normal synchronisation: a crash or a power loss
// keeps every committed merge and never shows a part of one.
constexpr const char* kHistoryConnectionSettings = "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;";

}  // namespace

StoreSeconds LevelSpan(HistoryLevel level)
{
    switch (level) {
        case HistoryLevel::Hours: return kHistoryHour;
        case HistoryLevel::Days: return kHistoryDay;
        case HistoryLevel::Readings: break;
    }
    return 1;
}

StoreResult<HistoryStore> HistoryStore::Open(const std::filesystem::path& file)
{
    sqlite3* raw = nullptr;
    const int opened = sqlite3_open_v2(file.string().c_str(), &raw,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    SqlConnection db(raw);
    if (opened != SQLITE_OK)
        return SqlError(db.get());
    sqlite3_busy_timeout(db.get(), kHistoryBusyTimeoutMs);
    // The triggers in the file tell this program when another has changed
    // it; its own writes keep the summaries in step and must not fire them.
    int triggers = 1;
    if (sqlite3_db_config(db.get(), SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, &triggers) != SQLITE_OK || triggers != 0)
        return SqlError(db.get());
    if (StoreStatus set = ExecuteSql(db.get(), kHistoryConnectionSettings); !set)
        return set.TakeError();
    if (StoreStatus prepared = PrepareHistorySchema(db.get()); !prepared)
        return prepared.TakeError();
    return HistoryStore(std::move(db));
}

std::filesystem::path HistoryStore::File() const
{
    const char* name = sqlite3_db_filename(db_.get(), "main");
    return name ? std::filesystem::path(name) : std::filesystem::path();
}

StoreResult<bool> HistoryStore::SummariesCurrent()
{
    return SummariesMarkedCurrent(db_.get());
}

StoreResult<std::optional<HeldTimes>> HistoryStore::Held(RecordingLayout kind)
{
    // The key's order is the time's: the ends of the table are the ends of time.
    StoreResult<SqlStatement> ends =
        PrepareSql(db_.get(), "SELECT min(Key), max(Key) FROM " + ReadingsTableName(kind));
    if (!ends)
        return ends.TakeError();
    sqlite3_stmt* statement = ends->get();
    if (sqlite3_step(statement) != SQLITE_ROW)
        return SqlError(db_.get());
    if (sqlite3_column_type(statement, 0) == SQLITE_NULL)
        return std::optional<HeldTimes>();
    return std::optional<HeldTimes>(
        HeldTimes{SecondsOfKey(sqlite3_column_int64(statement, 0)), SecondsOfKey(sqlite3_column_int64(statement, 1))});
}

StoreResult<HistoryStore::ColumnRange> HistoryStore::RangeOf(RecordingLayout kind, std::string_view column,
                                                               const CivilTime& from, const CivilTime& to)
{
    const std::optional<std::size_t> index = ValueColumnIndex(column);
    if (!index)
        return StoreError{"no such column: " + std::string(column)};
    StoreResult<SecondsRange> seconds = SecondsOf(from, to);
    if (!seconds)
        return seconds.TakeError();
    return ColumnRange{kind, *index, seconds->begin, seconds->end};
}

StoreResult<HistoryStore::SecondsRange> HistoryStore::SecondsOf(const CivilTime& from, const CivilTime& to)
{
    const std::optional<StoreSeconds> first = StoreSecondsOf(from);
    const std::optional<StoreSeconds> last = StoreSecondsOf(to);
    if (!first || !last)
        return StoreError{"not a date and time: " + FormatRecordTime(first ? to : from)};
    // After `from`, up to and including `to`.
    return SecondsRange{*first + 1, std::max(*first + 1, *last + 1)};
}

StoreStatus HistoryStore::EachReading(RecordingLayout kind, const CivilTime& from, const CivilTime& to,
                                      const std::function<void(StoreSeconds, const ReadingValues&)>& take)
{
    StoreResult<SecondsRange> range = SecondsOf(from, to);
    if (!range)
        return range.TakeError();
    std::string columns;
    for (std::size_t column = kFirstValueColumn; column < kRecordColumns.size(); ++column)
        columns += ", " + std::string(kRecordColumns[column]);
    StoreResult<SqlStatement> rows = PrepareSql(db_.get(), "SELECT Key" + columns + " FROM " +
                                                               ReadingsTableName(kind) +
                                                               " WHERE Key >= ?1 AND Key < ?2 ORDER BY Key");
    if (!rows)
        return rows.TakeError();
    sqlite3_stmt* statement = rows->get();
    sqlite3_bind_int64(statement, 1, HistoryKey(range->begin, 0));
    sqlite3_bind_int64(statement, 2, HistoryKey(range->end, 0));
    ReadingValues values;
    int stepped = SQLITE_ROW;
    while ((stepped = sqlite3_step(statement)) == SQLITE_ROW) {
        for (std::size_t at = 0; at < kValueColumns; ++at) {
            const std::size_t column = kFirstValueColumn + at;
            values[at] = StoredValue(statement, static_cast<int>(column), column);
            if (values[at] && std::isnan(*values[at]))
                values[at].reset();
        }
        take(SecondsOfKey(sqlite3_column_int64(statement, 0)), values);
    }
    if (stepped != SQLITE_DONE)
        return SqlError(db_.get());
    return StoreDone{};
}

StoreStatus HistoryStore::ReadColumn(const ColumnRange& range,
                                       const std::function<void(StoreSeconds, double)>& take)
{
    const std::string name(kRecordColumns[range.column]);
    StoreResult<SqlStatement> rows =
        PrepareSql(db_.get(), "SELECT Key, " + name + " FROM " + ReadingsTableName(range.kind) +
                                  " WHERE Key >= ?1 AND Key < ?2 AND " + name + " IS NOT NULL ORDER BY Key");
    if (!rows)
        return rows.TakeError();
    sqlite3_stmt* statement = rows->get();
    sqlite3_bind_int64(statement, 1, HistoryKey(range.begin, 0));
    sqlite3_bind_int64(statement, 2, HistoryKey(range.end, 0));
    int stepped = SQLITE_ROW;
    while ((stepped = sqlite3_step(statement)) == SQLITE_ROW) {
        const std::optional<double> value = StoredValue(statement, 1, range.column);
        if (value && !std::isnan(*value))
            take(SecondsOfKey(sqlite3_column_int64(statement, 0)), *value);
    }
    if (stepped != SQLITE_DONE)
        return SqlError(db_.get());
    return StoreDone{};
}

StoreResult<std::vector<StorePoint>> HistoryStore::Readings(RecordingLayout kind, std::string_view column,
                                                                const CivilTime& from, const CivilTime& to)
{
    StoreResult<ColumnRange> range = RangeOf(kind, column, from, to);
    if (!range)
        return range.TakeError();
    std::vector<StorePoint> points;
    StoreStatus read = ReadColumn(range.Value(), [&](StoreSeconds seconds, double value) {
        points.push_back({seconds, value});
    });
    if (!read)
        return read.TakeError();
    return points;
}

StoreResult<std::vector<HistoryBucket>> HistoryStore::ReadingBuckets(const ColumnRange& range)
{
    std::vector<HistoryBucket> buckets;
    StoreStatus read = ReadColumn(
        range, [&](StoreSeconds seconds, double value) { buckets.push_back(ReadingBucket(seconds, value)); });
    if (!read)
        return read.TakeError();
    return buckets;
}

StoreResult<std::vector<HistoryBucket>> HistoryStore::Buckets(RecordingLayout kind, std::string_view column,
                                                                HistoryLevel level, const CivilTime& from,
                                                                const CivilTime& to)
{
    StoreResult<ColumnRange> range = RangeOf(kind, column, from, to);
    if (!range)
        return range.TakeError();
    if (level == HistoryLevel::Readings)
        return ReadingBuckets(range.Value());
    StoreResult<bool> current = SummariesCurrent();
    if (!current)
        return current.TakeError();
    if (current.Value())
        return SummaryBuckets(range.Value(), level);
    // Summaries another program has touched are not trusted: the readings
    // give the same answer, only more slowly.
    StoreResult<std::vector<HistoryBucket>> readings = ReadingBuckets(range.Value());
    if (!readings)
        return readings;
    std::vector<HistoryBucket> buckets;
    FoldBuckets(readings.Value(), LevelSpan(level), buckets);
    return buckets;
}

StoreResult<std::vector<HistoryBucket>> HistoryStore::SummaryBuckets(const ColumnRange& range, HistoryLevel level)
{
    if (level == HistoryLevel::Readings)
        return ReadingBuckets(range);
    // The buckets wholly inside the range are stored; those the range cuts
    // are made from the next finer level's, for only the readings inside.
    const StoreSeconds span = LevelSpan(level);
    const HistoryLevel finer = level == HistoryLevel::Days ? HistoryLevel::Hours : HistoryLevel::Readings;
    const StoreSeconds wholeBegin = BucketStartFrom(range.begin, span);
    const StoreSeconds wholeEnd = std::max(wholeBegin, BucketStartOf(range.end, span));
    std::vector<HistoryBucket> buckets;
    const auto foldFiner = [&](StoreSeconds begin, StoreSeconds end) -> StoreStatus {
        if (begin >= end)
            return StoreDone{};
        ColumnRange part = range;
        part.begin = begin;
        part.end = end;
        StoreResult<std::vector<HistoryBucket>> parts = SummaryBuckets(part, finer);
        if (!parts)
            return parts.TakeError();
        FoldBuckets(parts.Value(), span, buckets);
        return StoreDone{};
    };
    if (wholeBegin >= range.end) {
        if (StoreStatus folded = foldFiner(range.begin, range.end); !folded)
            return folded.TakeError();
        return buckets;
    }
    if (StoreStatus folded = foldFiner(range.begin, wholeBegin); !folded)
        return folded.TakeError();
    ColumnRange whole = range;
    whole.begin = wholeBegin;
    whole.end = wholeEnd;
    if (StoreStatus stored = StoredSummaries(whole, level, buckets); !stored)
        return stored.TakeError();
    if (StoreStatus folded = foldFiner(wholeEnd, range.end); !folded)
        return folded.TakeError();
    return buckets;
}

StoreStatus HistoryStore::StoredSummaries(const ColumnRange& range, HistoryLevel level,
                                            std::vector<HistoryBucket>& out)
{
    StoreResult<SqlStatement> rows =
        PrepareSql(db_.get(),
                   "SELECT Start, Lowest, Highest, First, Last, Sum, Count FROM Summaries"
                   " WHERE Kind = ?1 AND Span = ?2 AND Quantity = ?3 AND Start >= ?4 AND Start < ?5"
                   " ORDER BY Start");
    if (!rows)
        return rows.TakeError();
    sqlite3_stmt* statement = rows->get();
    sqlite3_bind_int(statement, 1, SummaryKindNumber(range.kind));
    sqlite3_bind_int64(statement, 2, LevelSpan(level));
    sqlite3_bind_int64(statement, 3, static_cast<sqlite3_int64>(range.column));
    sqlite3_bind_int64(statement, 4, range.begin);
    sqlite3_bind_int64(statement, 5, range.end);
    int stepped = SQLITE_ROW;
    while ((stepped = sqlite3_step(statement)) == SQLITE_ROW) {
        HistoryBucket bucket;
        bucket.start = sqlite3_column_int64(statement, 0);
        double* values[] = {&bucket.lowest, &bucket.highest, &bucket.first, &bucket.last};
        for (int i = 0; i < 4; ++i)
            *values[i] = StoredValue(statement, 1 + i, range.column).value_or(std::nan(""));
        bucket.sum = sqlite3_column_double(statement, 5);
        bucket.count = static_cast<std::uint64_t>(sqlite3_column_int64(statement, 6));
        if (bucket.count > 0)
            out.push_back(bucket);
    }
    if (stepped != SQLITE_DONE)
        return SqlError(db_.get());
    return StoreDone{};
}

}  // namespace vorelle
