#pragma once

#include "messages/Messages.h"
#include "records/RecordTime.h"
#include "records/WeatherRecord.h"

#include <cstddef>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace vorelle {

// The record store: the Records table of the last imported recording, kept in
// an SQLite file (QM710.db in the data folder).
//
// Every operation reports its own failure once, through `messages`, with
// SQLite's message text and the program's name as caption, and returns a
// status: 0 on success; -1 from Connect, 1 from ClearTables and the queries,
// 2 from the import's steps after a reported failure.
//
// Threads: one object belongs to one thread at a time, and `messages` is
// called on that thread (a worker passes one that hands the text to the UI
// thread). Several objects may use the same file from different threads at
// once: readers see the last committed import, never half of one.

// What a connection to a store file may do. A reading connection never
// changes the file, so a store that is read only (a copy on a read-only
// medium, a file of someone else's) can be queried.
enum class StoreAccess { Read, Write };

class RecordDatabase {
public:
    explicit RecordDatabase(Messages& messages);
    ~RecordDatabase();
    RecordDatabase(const RecordDatabase&) = delete;
    RecordDatabase& operator=(const RecordDatabase&) = delete;

    // Opens the store file, dropping any connection held. A missing file is
    // reported, never created: an empty file would have no tables. So is a
    // file that is not a record store (no Records and Param tables of this
    // program's columns), which is then left exactly as it was. To write,
    // the connection sets the write-ahead log and normal synchronisation, so
    // that a crash or a power loss never leaves the file corrupt or half an
    // import in it; to read, it changes nothing, not even that.
    int Connect(const std::filesystem::path& file, StoreAccess access = StoreAccess::Read);
    // An empty store in memory that lasts as long as this object.
    int ConnectInMemory();
    // The file connected to; empty for none, or for a store in memory.
    std::filesystem::path File() const;

    // Empties Records and Param in one transaction.
    int ClearTables();

    // Replacing the stored recording, all or nothing: BeginImport starts one
    // transaction and empties both tables, AppendRecord adds one row each
    // (written in batches, so a row's failure may show on a later call),
    // CommitImport writes the rest and makes them all visible at once.
    // Records must come in time order (equal times in any order), which the
    // commit notes, so that a range is read in one run through the table
    // (RecordStoreSchema.h); a record earlier than the one before is refused
    // as a failure. After a failure, or when the caller gives up,
    // AbandonImport (silent) puts the previous rows back; so does closing the
    // object or the process dying with the import open.
    int BeginImport();
    int AppendRecord(const WeatherRecord& record);
    int CommitImport();
    void AbandonImport();

    // The Param table: what an import notes about the recording it stores
    // (its name, its unit labels), emptied with the rows. SetParam belongs
    // inside an import, so that the notes and the rows change together; it
    // returns 2 after a reported failure. Param gives none for a name never
    // set (or after a reported failure).
    int SetParam(std::string_view name, std::string_view value);
    std::optional<std::string> Param(std::string_view name);

    // The queries of the graph, as SQL means them for any store, whatever
    // the order of its rows: the range excludes `start` and includes `end`
    // (Time > start AND Time <= end), and rows whose `column` holds
    // kMissingValue are left out. `column` must be one of kRecordColumns.
    //
    // QueryRange: "Time" and `column` of the matching rows, in time order.
    // QueryMaxMin: one row, "Max1" and "Min1" of `column` (null without rows).
    // QueryCount: one row, "Count".
    int QueryRange(const CivilTime& end, const CivilTime& start, std::string_view column);
    int QueryMaxMin(const CivilTime& end, const CivilTime& start, std::string_view column);
    int QueryCount(const CivilTime& end, const CivilTime& start, std::string_view column);

    // Reading the last query's rows, one at a time from the first. A failure
    // while stepping is reported and ends the rows.
    bool EndOfRows() const;
    void MoveNext();
    // True when the last query failed, or a failure ended its rows early.
    bool RowsFailed() const;
    // Index of a result column by name, compared without regard to case.
    std::optional<std::size_t> ResultColumn(std::string_view name) const;
    // The current row's value in a result column; none for null or a value
    // that is not a number (text or bytes written by another program), past
    // the end, and for a column the result does not have.
    std::optional<double> Collect(std::size_t column) const;
    std::optional<double> Collect(std::string_view name) const;

private:
    struct StatementDeleter {
        void operator()(sqlite3_stmt* statement) const;
    };
    using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

    int Open(const char* name, int flags);
    bool IsRecordStore(const std::filesystem::path& file);
    void Close();
    void Report(std::string_view text);
    void ReportError();
    bool Execute(const char* statements);
    Statement Prepare(std::string_view sql);
    void StopInserting();
    void MapForQueries();
    static void BindRecord(sqlite3_stmt* statement, int first, const WeatherRecord& record);
    bool Insert(sqlite3_stmt* statement, std::span<const WeatherRecord> records);
    // Whether the rows lie in time order, as the import that wrote them
    // noted; none after a reported failure.
    std::optional<bool> RowsInTimeOrder();
    int RunQuery(const CivilTime& end, const CivilTime& start, std::string_view column, std::string_view query);

    Messages& messages_;
    sqlite3* db_ = nullptr;
    Statement insertOne_;
    Statement insertMany_;
    std::vector<WeatherRecord> pending_;
    double lastTime_ = -std::numeric_limits<double>::infinity();
    Statement result_;
    bool atEnd_ = true;
    bool rowsFailed_ = false;
};

}  // namespace vorelle
