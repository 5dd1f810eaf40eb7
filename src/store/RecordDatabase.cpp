#include "store/RecordDatabase.h"

#include "store/ExtremesFunctions.h"
#include "store/RecordStoreSchema.h"

#include <sqlite3.h>

#include <fstream>
#include <limits>
#include <string>

namespace vorelle {

namespace {

// How long a writer waits for another connection's write to end before it
// reports the store as busy.
constexpr int kBusyTimeoutMs = 5000;

// A connection that writes keeps the write-ahead log with normal
// synchronisation: a crash or a power loss keeps every committed import and
// never shows half of one. Emptying a table need not overwrite its pages with
// zeros: weather readings are not secrets, and the zeros would cost an import
// the size of the store in extra writes.
constexpr const char* kWriteSettings =
    "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA secure_delete=FAST;";
// A connection that reads refuses every change. It is opened for writing all
// the same (SQLite opens a write-protected file for reading only), because
// only such a connection removes the -wal and -shm files SQLite makes beside
// a store in write-ahead-log mode: a read-only one would leave them behind.
constexpr const char* kReadSettings = "PRAGMA query_only=ON;";

// Query results are read through memory mapping rather than the page cache,
// so a year of rows is read at the speed of memory. An import maps nothing:
// every page it would touch through the mapping (emptying the previous
// recording's pages, the checkpoint after the commit) would stay counted in
// its memory on top of the recording's text.
constexpr const char* kMapForQueries = "PRAGMA mmap_size=268435456;";
constexpr const char* kMapNothing = "PRAGMA mmap_size=0;";

// How a query finds the rows of a range, and their order.
struct RangeRows {
    std::string_view condition;
    std::string_view order;
};

// In any store: the rows the statement means, found by the time index.
constexpr RangeRows kRowsByTime{"Time>?1 AND Time<=?2", "Time ASC, rowid ASC"};

// In a store whose rows lie in time order (RecordStoreSchema.h tells how the
// store knows), the same rows are the rowids from the first row after the
// start to the last row up to the end, both found by the time index, and are
// read in one run through the table instead of one lookup per row.
constexpr RangeRows kRowsByRowid{
    "rowid BETWEEN (SELECT rowid FROM Records WHERE Time>?1 ORDER BY Time ASC LIMIT 1)"
    " AND (SELECT rowid FROM Records WHERE Time<=?2 ORDER BY Time DESC LIMIT 1)",
    "rowid ASC"};

// In the queries, %r stands for the rows' condition, %o for their order and
// %c for the column's name.
constexpr std::string_view kRangeQuery = "SELECT Time, %c FROM Records WHERE %r AND %c<>65535 ORDER BY %o";
constexpr std::string_view kCountQuery = "SELECT count(*) AS \"Count\" FROM Records WHERE %r AND %c<>65535";
// The extremes functions leave out the missing value themselves.
constexpr std::string_view kMaxMinQuery =
    "SELECT vorelle_highest(e) AS Max1, vorelle_lowest(e) AS Min1"
    " FROM (SELECT vorelle_extremes(%c) AS e FROM Records WHERE %r)";

// `query` with %r, %o and %c written out.
std::string QueryText(std::string_view query, const RangeRows& rows, std::string_view column)
{
    std::string sql;
    for (std::size_t at = 0; at < query.size(); ++at) {
        const std::string_view mark = query.substr(at, 2);
        if (mark == "%r" || mark == "%o" || mark == "%c") {
            sql += mark == "%r" ? rows.condition : mark == "%o" ? rows.order : column;
            ++at;
            continue;
        }
        sql += query[at];
    }
    return sql;
}

// "Time, No, ..., Light".
std::string RecordColumnList()
{
    std::string list;
    for (const std::string_view column : kRecordColumns)
        list += std::string(list.empty() ? "" : ", ") + std::string(column);
    return list;
}

// Whether the file's header marks a store in write-ahead-log mode (its
// read and write versions, bytes 18 and 19, are 2).
bool KeepsWriteAheadLog(const std::filesystem::path& file)
{
    char header[20] = {};
    std::ifstream(file, std::ios::binary).read(header, sizeof header);
    return std::string_view(header, 16) == std::string_view("SQLite format 3\0", 16) && header[18] == 2 &&
           header[19] == 2;
}

// Rows go in this many at a time: one statement's run carries a fixed cost
// that a year's import would otherwise pay half a million times.
constexpr std::size_t kRowsPerInsert = 32;

// "INSERT INTO Records (Time, No, ...) VALUES (?, ...), (?, ...), ..." for
// `rows` rows.
std::string InsertStatement(std::size_t rows)
{
    std::string sql = "INSERT INTO Records (" + RecordColumnList() + ") VALUES ";
    std::string row = "(";
    for (std::size_t i = 1; i < kRecordColumns.size(); ++i)
        row += "?, ";
    row += "?)";
    for (std::size_t i = 0; i < rows; ++i)
        sql += (i ? ", " : "") + row;
    return sql;
}

constexpr const char* kWriteAheadLogAdvice =
    "Copy the store into a folder you may write to, or allow writing in this one.";
constexpr std::string_view kOutOfOrderText = "The readings of an import must come in time order.";

void BindRecord(sqlite3_stmt* statement, int first, const WeatherRecord& r)
{
    sqlite3_bind_double(statement, first, r.time);
    int index = first + 1;
    for (const std::int32_t value : {r.no, r.inHumi, r.outHumi, r.windDirection, r.uv})
        sqlite3_bind_int(statement, index++, value);
    for (const float value : {r.inTemp, r.outTemp, r.wind, r.gust, r.dewPoint, r.windChill, r.relPressure,
                              r.absPressure, r.rain, r.rainHour, r.rainDay, r.rainWeek, r.rainMonth, r.rainYear,
                              r.light})
        sqlite3_bind_double(statement, index++, value);
}

bool IsNumber(sqlite3_stmt* row, int column)
{
    const int type = sqlite3_column_type(row, column);
    return type == SQLITE_INTEGER || type == SQLITE_FLOAT;
}

}  // namespace

StoreResult<RecordDatabase> RecordDatabase::Connect(const char* name, int flags)
{
    sqlite3* raw = nullptr;
    // One object is used by one thread at a time, so the connection needs no
    // lock of its own.
    const int opened = sqlite3_open_v2(name, &raw, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    SqlConnection db(raw);
    if (opened != SQLITE_OK)
        return SqlError(db.get());
    sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
    if (RegisterExtremesFunctions(db.get()) != SQLITE_OK)
        return SqlError(db.get());
    if (StoreStatus mapped = ExecuteSql(db.get(), kMapForQueries); !mapped)
        return mapped.TakeError();
    return RecordDatabase(std::move(db));
}

StoreResult<RecordDatabase> RecordDatabase::Open(const std::filesystem::path& file, StoreAccess access)
{
    StoreResult<RecordDatabase> store = Connect(file.string().c_str(), SQLITE_OPEN_READWRITE);
    if (!store)
        return store;
    sqlite3* db = store->db_.get();
    // The file is known to be a store before anything is set that would
    // change it: a file of another program is never converted.
    const bool reading = access == StoreAccess::Read;
    if (reading) {
        if (StoreStatus set = ExecuteSql(db, kReadSettings); !set)
            return set.TakeError();
    }
    if (StoreStatus checked = store->CheckRecordStore(file); !checked)
        return checked.TakeError();
    if (!reading) {
        if (StoreStatus set = ExecuteSql(db, kWriteSettings); !set)
            return set.TakeError();
    }
    return store;
}

StoreStatus RecordDatabase::CheckRecordStore(const std::filesystem::path& file)
{
    // Preparing a statement reads the schema and nothing else.
    const std::string probes[] = {"SELECT " + RecordColumnList() + " FROM Records", "SELECT Name, Value FROM Param"};
    for (const std::string& probe : probes) {
        sqlite3_stmt* statement = nullptr;
        const int status = sqlite3_prepare_v2(db_.get(), probe.c_str(), -1, &statement, nullptr) & 0xFF;
        sqlite3_finalize(statement);
        if (status == SQLITE_OK)
            continue;
        if (status == SQLITE_CANTOPEN && KeepsWriteAheadLog(file))
            return StoreError{file.string() + " keeps a write-ahead log, which SQLite reads only where it may make " +
                              file.filename().string() + "-shm beside it, and its folder does not allow that. " +
                              kWriteAheadLogAdvice};
        if (status == SQLITE_ERROR || status == SQLITE_NOTADB)
            return StoreError{file.string() + " is not a record store of Vorelle 2: " + sqlite3_errmsg(db_.get())};
        return SqlError(db_.get());
    }
    return StoreDone{};
}

StoreResult<RecordDatabase> RecordDatabase::OpenInMemory()
{
    StoreResult<RecordDatabase> store = Connect(":memory:", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (!store)
        return store;
    if (StoreStatus set = ExecuteSql(store->db_.get(), kWriteSettings); !set)
        return set.TakeError();
    if (const std::string failure = CreateRecordTables(store->db_.get()); !failure.empty())
        return StoreError{failure};
    return store;
}

std::filesystem::path RecordDatabase::File() const
{
    const char* name = sqlite3_db_filename(db_.get(), "main");
    return name ? std::filesystem::path(name) : std::filesystem::path();
}

StoreStatus RecordDatabase::ClearTables()
{
    StoreResult<SqlTransaction> transaction = SqlTransaction::Begin(db_.get());
    if (!transaction)
        return transaction.TakeError();
    if (StoreStatus cleared = ExecuteSql(db_.get(), "DELETE FROM Records; DELETE FROM Param;"); !cleared)
        return cleared;
    return transaction->Commit();
}

StoreStatus RecordDatabase::BeginImport()
{
    AbandonImport();
    const std::string begin =
        std::string(kMapNothing) + " BEGIN IMMEDIATE; DELETE FROM Records; DELETE FROM Param; " + kDropTimeIndex +
        kDropOrderWatch;
    StoreStatus begun = ExecuteSql(db_.get(), begin.c_str());
    StoreResult<SqlStatement> one = begun ? PrepareSql(db_.get(), InsertStatement(1)) : begun.TakeError();
    StoreResult<SqlStatement> many = one ? PrepareSql(db_.get(), InsertStatement(kRowsPerInsert)) : one.TakeError();
    if (!many) {
        AbandonImport();
        return many.TakeError();
    }
    insertOne_ = std::move(one.Value());
    insertMany_ = std::move(many.Value());
    return StoreDone{};
}

StoreStatus RecordDatabase::Insert(sqlite3_stmt* statement, std::span<const WeatherRecord> records)
{
    for (std::size_t i = 0; i < records.size(); ++i)
        BindRecord(statement, static_cast<int>(i * kRecordColumns.size()) + 1, records[i]);
    return StepToEnd(db_.get(), statement);
}

StoreStatus RecordDatabase::AppendRecord(const WeatherRecord& record)
{
    if (!insertOne_)
        return StoreError{sqlite3_errstr(SQLITE_MISUSE)};
    if (!(record.time >= lastTime_))
        return StoreError{std::string(kOutOfOrderText)};
    lastTime_ = record.time;
    pending_.push_back(record);
    if (pending_.size() < kRowsPerInsert)
        return StoreDone{};
    StoreStatus inserted = Insert(insertMany_.get(), pending_);
    pending_.clear();
    return inserted;
}

StoreStatus RecordDatabase::CommitImport()
{
    if (!insertOne_)
        return StoreError{sqlite3_errstr(SQLITE_MISUSE)};
    for (const WeatherRecord& record : pending_) {
        if (StoreStatus inserted = Insert(insertOne_.get(), {&record, 1}); !inserted) {
            AbandonImport();
            return inserted;
        }
    }
    StopInserting();
    // AppendRecord let the rows in only in time order.
    const std::string commit = std::string(kCreateTimeIndex) + kCreateOrderWatch + " COMMIT;";
    StoreStatus committed = ExecuteSql(db_.get(), commit.c_str());
    if (!committed) {
        AbandonImport();
        return committed;
    }
    MapForQueries();
    return committed;
}

void RecordDatabase::StopInserting()
{
    pending_.clear();
    lastTime_ = -std::numeric_limits<double>::infinity();
    insertOne_.reset();
    insertMany_.reset();
}

void RecordDatabase::AbandonImport()
{
    StopInserting();
    if (!sqlite3_get_autocommit(db_.get()))
        sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
    MapForQueries();
}

void RecordDatabase::MapForQueries()
{
    // Silent: were the mapping refused, queries would read through the page
    // cache, slower but the same rows.
    sqlite3_exec(db_.get(), kMapForQueries, nullptr, nullptr, nullptr);
}

StoreStatus RecordDatabase::SetParam(std::string_view name, std::string_view value)
{
    StoreResult<SqlStatement> statement =
        PrepareSql(db_.get(), "INSERT OR REPLACE INTO Param (Name, Value) VALUES (?, ?)");
    if (!statement)
        return statement.TakeError();
    sqlite3_bind_text(statement->get(), 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(statement->get(), 2, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
    return StepToEnd(db_.get(), statement->get());
}

StoreResult<std::optional<std::string>> RecordDatabase::Param(std::string_view name)
{
    StoreResult<SqlStatement> statement = PrepareSql(db_.get(), "SELECT Value FROM Param WHERE Name = ?");
    if (!statement)
        return statement.TakeError();
    sqlite3_stmt* row = statement->get();
    sqlite3_bind_text(row, 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    const int stepped = sqlite3_step(row);
    if (stepped == SQLITE_ROW && sqlite3_column_type(row, 0) != SQLITE_NULL) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(row, 0));
        return std::optional<std::string>(std::in_place, text, static_cast<std::size_t>(sqlite3_column_bytes(row, 0)));
    }
    if (stepped != SQLITE_ROW && stepped != SQLITE_DONE)
        return SqlError(db_.get());
    return std::optional<std::string>();
}

StoreResult<bool> RecordDatabase::RowsInTimeOrder()
{
    StoreResult<SqlStatement> statement = PrepareSql(db_.get(), kInTimeOrderQuery);
    if (!statement)
        return statement.TakeError();
    if (sqlite3_step(statement->get()) != SQLITE_ROW)
        return SqlError(db_.get());
    return sqlite3_column_int(statement->get(), 0) != 0;
}

StoreResult<SqlStatement> RecordDatabase::Query(std::string_view query, std::string_view column,
                                                const CivilTime& from, const CivilTime& to)
{
    const std::optional<std::size_t> columnIndex = RecordColumnIndex(column);
    if (!columnIndex)
        return StoreError{"no such column: " + std::string(column)};
    StoreResult<bool> inTimeOrder = RowsInTimeOrder();
    if (!inTimeOrder)
        return inTimeOrder.TakeError();
    // The column name comes from the fixed list, never from the caller's text.
    StoreResult<SqlStatement> statement = PrepareSql(
        db_.get(), QueryText(query, inTimeOrder.Value() ? kRowsByRowid : kRowsByTime, kRecordColumns[*columnIndex]));
    if (statement) {
        sqlite3_bind_double(statement->get(), 1, AutomationDate(from));
        sqlite3_bind_double(statement->get(), 2, AutomationDate(to));
    }
    return statement;
}

StoreResult<std::vector<StorePoint>> RecordDatabase::QueryRange(std::string_view column, const CivilTime& from,
                                                                const CivilTime& to)
{
    StoreResult<SqlStatement> statement = Query(kRangeQuery, column, from, to);
    if (!statement)
        return statement.TakeError();
    sqlite3_stmt* row = statement->get();
    std::vector<StorePoint> points;
    int stepped = SQLITE_ROW;
    while ((stepped = sqlite3_step(row)) == SQLITE_ROW) {
        if (IsNumber(row, 0) && IsNumber(row, 1))
            points.push_back({StoreSecondsAt(sqlite3_column_double(row, 0)), sqlite3_column_double(row, 1)});
    }
    if (stepped != SQLITE_DONE)
        return SqlError(db_.get());
    return points;
}

StoreResult<std::optional<ValueExtremes>> RecordDatabase::QueryMaxMin(std::string_view column, const CivilTime& from,
                                                                      const CivilTime& to)
{
    StoreResult<SqlStatement> statement = Query(kMaxMinQuery, column, from, to);
    if (!statement)
        return statement.TakeError();
    sqlite3_stmt* row = statement->get();
    if (sqlite3_step(row) != SQLITE_ROW)
        return SqlError(db_.get());
    if (!IsNumber(row, 0) || !IsNumber(row, 1))
        return std::optional<ValueExtremes>();
    return std::optional<ValueExtremes>(ValueExtremes{sqlite3_column_double(row, 0), sqlite3_column_double(row, 1)});
}

StoreResult<std::uint64_t> RecordDatabase::QueryCount(std::string_view column, const CivilTime& from,
                                                      const CivilTime& to)
{
    StoreResult<SqlStatement> statement = Query(kCountQuery, column, from, to);
    if (!statement)
        return statement.TakeError();
    if (sqlite3_step(statement->get()) != SQLITE_ROW)
        return SqlError(db_.get());
    return static_cast<std::uint64_t>(sqlite3_column_int64(statement->get(), 0));
}

}  // namespace vorelle
