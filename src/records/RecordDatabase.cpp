#include "records/RecordDatabase.h"

#include "records/ExtremesFunctions.h"
#include "records/RecordStoreSchema.h"
#include "records/RecordTime.h"

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

constexpr int kConnectFailed = -1;
constexpr int kQueryFailed = 1;
constexpr int kClearFailed = 1;
constexpr int kImportFailed = 2;

}  // namespace

void RecordDatabase::StatementDeleter::operator()(sqlite3_stmt* statement) const
{
    sqlite3_finalize(statement);
}

RecordDatabase::RecordDatabase(Messages& messages) : messages_(messages) {}

RecordDatabase::~RecordDatabase()
{
    Close();
}

void RecordDatabase::Close()
{
    result_.reset();
    StopInserting();
    atEnd_ = true;
    // Closing with a transaction open rolls it back.
    sqlite3_close(db_);
    db_ = nullptr;
}

void RecordDatabase::Report(std::string_view text)
{
    messages_.Inform(std::string(text));
}

void RecordDatabase::ReportError()
{
    Report(db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(SQLITE_MISUSE));
}

bool RecordDatabase::Execute(const char* statements)
{
    if (db_ && sqlite3_exec(db_, statements, nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    ReportError();
    return false;
}

RecordDatabase::Statement RecordDatabase::Prepare(std::string_view sql)
{
    sqlite3_stmt* statement = nullptr;
    if (!db_ || sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &statement, nullptr) != SQLITE_OK) {
        ReportError();
        sqlite3_finalize(statement);
        return nullptr;
    }
    return Statement(statement);
}

int RecordDatabase::Open(const char* name, int flags)
{
    Close();
    // One object is used by one thread at a time, so the connection needs no
    // lock of its own.
    if (sqlite3_open_v2(name, &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        ReportError();
        Close();
        return kConnectFailed;
    }
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    if (RegisterExtremesFunctions(db_) != SQLITE_OK) {
        ReportError();
        Close();
        return kConnectFailed;
    }
    if (!Execute(kMapForQueries)) {
        Close();
        return kConnectFailed;
    }
    return 0;
}

int RecordDatabase::Connect(const std::filesystem::path& file, StoreAccess access)
{
    if (const int status = Open(file.string().c_str(), SQLITE_OPEN_READWRITE); status != 0)
        return status;
    // The file is known to be a store before anything is set that would
    // change it: a file of another program is never converted.
    const bool reading = access == StoreAccess::Read;
    if ((reading && !Execute(kReadSettings)) || !IsRecordStore(file) || (!reading && !Execute(kWriteSettings))) {
        Close();
        return kConnectFailed;
    }
    return 0;
}

bool RecordDatabase::IsRecordStore(const std::filesystem::path& file)
{
    // Preparing a statement reads the schema and nothing else.
    const std::string probes[] = {"SELECT " + RecordColumnList() + " FROM Records", "SELECT Name, Value FROM Param"};
    for (const std::string& probe : probes) {
        sqlite3_stmt* statement = nullptr;
        const int status = sqlite3_prepare_v2(db_, probe.c_str(), -1, &statement, nullptr) & 0xFF;
        sqlite3_finalize(statement);
        if (status == SQLITE_OK)
            continue;
        if (status == SQLITE_CANTOPEN && KeepsWriteAheadLog(file))
            Report(file.string() + " keeps a write-ahead log, which SQLite reads only where it may make " +
                   file.filename().string() + "-shm beside it, and its folder does not allow that. " +
                   kWriteAheadLogAdvice);
        else if (status == SQLITE_ERROR || status == SQLITE_NOTADB)
            Report(file.string() + " is not a record store of Vorelle 2: " + sqlite3_errmsg(db_));
        else
            ReportError();
        return false;
    }
    return true;
}

int RecordDatabase::ConnectInMemory()
{
    if (const int status = Open(":memory:", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE); status != 0)
        return status;
    if (!Execute(kWriteSettings)) {
        Close();
        return kConnectFailed;
    }
    if (const std::string failure = CreateRecordTables(db_); !failure.empty()) {
        Report(failure);
        Close();
        return kConnectFailed;
    }
    return 0;
}

std::filesystem::path RecordDatabase::File() const
{
    const char* name = db_ ? sqlite3_db_filename(db_, "main") : nullptr;
    return name ? std::filesystem::path(name) : std::filesystem::path();
}

int RecordDatabase::ClearTables()
{
    if (!Execute("BEGIN IMMEDIATE; DELETE FROM Records; DELETE FROM Param; COMMIT;")) {
        if (db_ && !sqlite3_get_autocommit(db_))
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        return kClearFailed;
    }
    return 0;
}

int RecordDatabase::BeginImport()
{
    AbandonImport();
    const std::string begin =
        std::string(kMapNothing) + " BEGIN IMMEDIATE; DELETE FROM Records; DELETE FROM Param; " + kDropTimeIndex +
        kDropOrderWatch;
    if (!Execute(begin.c_str())) {
        AbandonImport();
        return kImportFailed;
    }
    insertOne_ = Prepare(InsertStatement(1));
    insertMany_ = Prepare(InsertStatement(kRowsPerInsert));
    if (!insertOne_ || !insertMany_) {
        AbandonImport();
        return kImportFailed;
    }
    return 0;
}

void RecordDatabase::BindRecord(sqlite3_stmt* statement, int first, const WeatherRecord& r)
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

bool RecordDatabase::Insert(sqlite3_stmt* statement, std::span<const WeatherRecord> records)
{
    for (std::size_t i = 0; i < records.size(); ++i)
        BindRecord(statement, static_cast<int>(i * kRecordColumns.size()) + 1, records[i]);
    const int stepped = sqlite3_step(statement);
    sqlite3_reset(statement);
    if (stepped == SQLITE_DONE)
        return true;
    ReportError();
    return false;
}

int RecordDatabase::AppendRecord(const WeatherRecord& record)
{
    if (!insertOne_) {
        Report(sqlite3_errstr(SQLITE_MISUSE));
        return kImportFailed;
    }
    if (!(record.time >= lastTime_)) {
        Report(kOutOfOrderText);
        return kImportFailed;
    }
    lastTime_ = record.time;
    pending_.push_back(record);
    if (pending_.size() < kRowsPerInsert)
        return 0;
    const bool inserted = Insert(insertMany_.get(), pending_);
    pending_.clear();
    return inserted ? 0 : kImportFailed;
}

int RecordDatabase::CommitImport()
{
    for (const WeatherRecord& record : pending_) {
        if (!insertOne_ || !Insert(insertOne_.get(), {&record, 1})) {
            AbandonImport();
            return kImportFailed;
        }
    }
    StopInserting();
    // AppendRecord let the rows in only in time order.
    const std::string commit = std::string(kCreateTimeIndex) + kCreateOrderWatch + " COMMIT;";
    if (!Execute(commit.c_str())) {
        AbandonImport();
        return kImportFailed;
    }
    MapForQueries();
    return 0;
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
    if (db_ && !sqlite3_get_autocommit(db_))
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    MapForQueries();
}

void RecordDatabase::MapForQueries()
{
    // Silent: were the mapping refused, queries would read through the page
    // cache, slower but the same rows.
    if (db_)
        sqlite3_exec(db_, kMapForQueries, nullptr, nullptr, nullptr);
}

int RecordDatabase::SetParam(std::string_view name, std::string_view value)
{
    const Statement statement = Prepare("INSERT OR REPLACE INTO Param (Name, Value) VALUES (?, ?)");
    if (!statement)
        return kImportFailed;
    sqlite3_bind_text(statement.get(), 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(statement.get(), 2, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(statement.get()) != SQLITE_DONE) {
        ReportError();
        return kImportFailed;
    }
    return 0;
}

std::optional<std::string> RecordDatabase::Param(std::string_view name)
{
    const Statement statement = Prepare("SELECT Value FROM Param WHERE Name = ?");
    if (!statement)
        return std::nullopt;
    sqlite3_bind_text(statement.get(), 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    const int stepped = sqlite3_step(statement.get());
    if (stepped == SQLITE_ROW && sqlite3_column_type(statement.get(), 0) != SQLITE_NULL) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 0));
        return std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement.get(), 0)));
    }
    if (stepped != SQLITE_ROW && stepped != SQLITE_DONE)
        ReportError();
    return std::nullopt;
}

int RecordDatabase::RunQuery(const CivilTime& end, const CivilTime& start, std::string_view column,
                             std::string_view query)
{
    result_.reset();
    atEnd_ = true;
    rowsFailed_ = true;
    const std::optional<std::size_t> columnIndex = RecordColumnIndex(column);
    if (!columnIndex) {
        Report("no such column: " + std::string(column));
        return kQueryFailed;
    }
    const std::optional<bool> inTimeOrder = RowsInTimeOrder();
    if (!inTimeOrder)
        return kQueryFailed;
    // The column name comes from the fixed list, never from the caller's text.
    Statement statement =
        Prepare(QueryText(query, *inTimeOrder ? kRowsByRowid : kRowsByTime, kRecordColumns[*columnIndex]));
    if (!statement)
        return kQueryFailed;
    sqlite3_bind_double(statement.get(), 1, AutomationDate(start));
    sqlite3_bind_double(statement.get(), 2, AutomationDate(end));
    result_ = std::move(statement);
    atEnd_ = false;
    rowsFailed_ = false;
    MoveNext();
    return result_ ? 0 : kQueryFailed;
}

std::optional<bool> RecordDatabase::RowsInTimeOrder()
{
    const Statement statement = Prepare(kInTimeOrderQuery);
    if (!statement)
        return std::nullopt;
    if (sqlite3_step(statement.get()) != SQLITE_ROW) {
        ReportError();
        return std::nullopt;
    }
    return sqlite3_column_int(statement.get(), 0) != 0;
}

int RecordDatabase::QueryRange(const CivilTime& end, const CivilTime& start, std::string_view column)
{
    return RunQuery(end, start, column, kRangeQuery);
}

int RecordDatabase::QueryMaxMin(const CivilTime& end, const CivilTime& start, std::string_view column)
{
    return RunQuery(end, start, column, kMaxMinQuery);
}

int RecordDatabase::QueryCount(const CivilTime& end, const CivilTime& start, std::string_view column)
{
    return RunQuery(end, start, column, kCountQuery);
}

bool RecordDatabase::EndOfRows() const
{
    return atEnd_;
}

void RecordDatabase::MoveNext()
{
    if (atEnd_)
        return;
    const int stepped = sqlite3_step(result_.get());
    if (stepped == SQLITE_ROW)
        return;
    atEnd_ = true;
    if (stepped != SQLITE_DONE) {
        ReportError();
        result_.reset();
        rowsFailed_ = true;
    }
}

bool RecordDatabase::RowsFailed() const
{
    return rowsFailed_;
}

std::optional<std::size_t> RecordDatabase::ResultColumn(std::string_view name) const
{
    if (!result_)
        return std::nullopt;
    const int count = sqlite3_column_count(result_.get());
    for (int i = 0; i < count; ++i) {
        if (SameColumnName(sqlite3_column_name(result_.get(), i), name))
            return static_cast<std::size_t>(i);
    }
    return std::nullopt;
}

std::optional<double> RecordDatabase::Collect(std::size_t column) const
{
    if (atEnd_ || column >= static_cast<std::size_t>(sqlite3_column_count(result_.get())))
        return std::nullopt;
    const int index = static_cast<int>(column);
    const int type = sqlite3_column_type(result_.get(), index);
    if (type != SQLITE_INTEGER && type != SQLITE_FLOAT)
        return std::nullopt;
    return sqlite3_column_double(result_.get(), index);
}

std::optional<double> RecordDatabase::Collect(std::string_view name) const
{
    const std::optional<std::size_t> column = ResultColumn(name);
    return column ? Collect(*column) : std::nullopt;
}

}  // namespace vorelle
