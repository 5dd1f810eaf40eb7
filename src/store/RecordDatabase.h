#pragma once

#include "store/RecordTime.h"
#include "store/StorePoint.h"
#include "store/StoreResult.h"
#include "store/StoreSql.h"
#include "store/WeatherRecord.h"

#include <cstdint>
#include <filesystem>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vorelle {

// The record store: the Records table of the last imported recording, kept in
// an SQLite file (QM710.db in the data folder).
//
// Every operation hands back its value, or a StoreError with SQLite's message
// (or the store's own, when it refuses something itself). The store shows
// nothing: a caller that tells the user shows the error's text once, through
// Messages, with the program's name as caption.
//
// Threads: one object belongs to one thread at a time. Several objects may
// use the same file from different threads at once: readers see the last
// committed import, never half of one.

// What a connection to a store file may do. A reading connection never
// changes the file, so a store that is read only (a copy on a read-only
// medium, a file of someone else's) can be queried.
enum class StoreAccess { Read, Write };

class RecordDatabase {
public:
    // Opens the store file. A missing file is refused, never created: an
    // empty file would have no tables. So is a file that is not a record
    // store (no Records and Param tables of this program's columns), which is
    // then left exactly as it was. To write, the connection sets the
    // write-ahead log and normal synchronisation, so that a crash or a power
    // loss never leaves the file corrupt or half an import in it; to read, it
    // changes nothing, not even that.
    static StoreResult<RecordDatabase> Open(const std::filesystem::path& file, StoreAccess access = StoreAccess::Read);
    // An empty store in memory that lasts as long as the object.
    static StoreResult<RecordDatabase> OpenInMemory();
    RecordDatabase(RecordDatabase&&) noexcept = default;
    RecordDatabase& operator=(RecordDatabase&&) = delete;

    // The file connected to; empty for a store in memory.
    std::filesystem::path File() const;

    // Empties Records and Param in one transaction.
    StoreStatus ClearTables();

    // Replacing the stored recording, all or nothing: BeginImport starts one
    // transaction and empties both tables, AppendRecord adds one row each
    // (written in batches, so a row's failure may show on a later call),
    // CommitImport writes the rest and makes them all visible at once.
    // Records must come in time order (equal times in any order), which the
    // commit notes, so that a range is read in one run through the table
    // (RecordStoreSchema.h); a record earlier than the one before is refused.
    // After a failure, or when the caller gives up, AbandonImport puts the
    // previous rows back; so does destroying the object or the process dying
    // with the import open.
    StoreStatus BeginImport();
    StoreStatus AppendRecord(const WeatherRecord& record);
    StoreStatus CommitImport();
    void AbandonImport();

    // The Param table: what an import notes about the recording it stores
    // (StoredRecording.h), emptied with the rows. SetParam belongs inside an
    // import, so that the notes and the rows change together. Param gives
    // none for a name never set.
    StoreStatus SetParam(std::string_view name, std::string_view value);
    StoreResult<std::optional<std::string>> Param(std::string_view name);

    // The queries of the graph, as SQL means them for any store, whatever
    // the order of its rows: the range excludes `from` and includes `to`
    // (Time > from AND Time <= to), and rows whose `column` holds
    // kMissingValue are left out. `column` is one of kRecordColumns, in any
    // case; any other name is refused.
    //
    // QueryRange: the readings of `column`, in time order; a value that is
    // not a number (text or bytes another program wrote) is left out.
    StoreResult<std::vector<StorePoint>> QueryRange(std::string_view column, const CivilTime& from,
                                                    const CivilTime& to);
    // QueryMaxMin: the highest and lowest number of `column` (for Time, the
    // automation dates of the first and last reading); none without one.
    StoreResult<std::optional<ValueExtremes>> QueryMaxMin(std::string_view column, const CivilTime& from,
                                                          const CivilTime& to);
    // QueryCount: how many rows the range holds.
    StoreResult<std::uint64_t> QueryCount(std::string_view column, const CivilTime& from, const CivilTime& to);

private:
    explicit RecordDatabase(SqlConnection db) : db_(std::move(db)) {}

    static StoreResult<RecordDatabase> Connect(const char* name, int flags);
    StoreStatus CheckRecordStore(const std::filesystem::path& file);
    StoreStatus Insert(sqlite3_stmt* statement, std::span<const WeatherRecord> records);
    void StopInserting();
    void MapForQueries();
    // Whether the rows lie in time order, as the import that wrote them
    // noted.
    StoreResult<bool> RowsInTimeOrder();
    // `query` over the range, its bounds bound, ready to step.
    StoreResult<SqlStatement> Query(std::string_view query, std::string_view column, const CivilTime& from,
                                    const CivilTime& to);

    // Declared first, so that the statements go before the connection.
    SqlConnection db_;
    SqlStatement insertOne_;
    SqlStatement insertMany_;
    std::vector<WeatherRecord> pending_;
    double lastTime_ = -std::numeric_limits<double>::infinity();
};

}  // namespace vorelle
