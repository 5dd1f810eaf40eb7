#pragma once

#include <filesystem>
#include <string>

struct sqlite3;

namespace vorelle {

// The index of Records by time, which every query of a range uses. An import
// drops it and makes it again once all rows are in: building it once from
// sorted rows costs far less than keeping it up to date row by row.
inline constexpr const char* kDropTimeIndex = "DROP INDEX IF EXISTS RecordsByTime;";
inline constexpr const char* kCreateTimeIndex = "CREATE INDEX IF NOT EXISTS RecordsByTime ON Records (Time);";

// An import writes the rows in time order and notes so in Param, so that the
// rows of a range are a run of rowids; the two triggers take the note away at
// the first later change of Records by any program (a row inserted or altered
// with the sqlite3 shell, say; a row deleted leaves the others in order),
// after which the queries find rows by their times alone. The import drops
// the triggers while it writes, and makes them again with the note.
inline constexpr const char* kDropOrderWatch =
    "DROP TRIGGER IF EXISTS RecordsInsertedAfterImport; DROP TRIGGER IF EXISTS RecordsUpdatedAfterImport;";
inline constexpr const char* kCreateOrderWatch =
    "CREATE TRIGGER RecordsInsertedAfterImport AFTER INSERT ON Records"
    " BEGIN DELETE FROM Param WHERE Name = 'RowsInTimeOrder'; END;"
    " CREATE TRIGGER RecordsUpdatedAfterImport AFTER UPDATE ON Records"
    " BEGIN DELETE FROM Param WHERE Name = 'RowsInTimeOrder'; END;"
    " INSERT OR REPLACE INTO Param (Name, Value) VALUES ('RowsInTimeOrder', '1');";
// Whether the note stands, with both triggers that would take it away.
inline constexpr const char* kInTimeOrderQuery =
    "SELECT EXISTS (SELECT 1 FROM Param WHERE Name = 'RowsInTimeOrder')"
    " AND (SELECT count(*) FROM sqlite_master WHERE type = 'trigger' AND tbl_name = 'Records'"
    " AND name IN ('RecordsInsertedAfterImport', 'RecordsUpdatedAfterImport')) = 2";

// Creates the Records and Param tables in the open database `db`. Returns an
// empty text on success, else SQLite's message.
std::string CreateRecordTables(sqlite3* db);

// Creates an empty record store at `path`: the Records table of imported
// readings and the Param table. Returns an empty text on success, else what
// went wrong. An existing file is left alone and reported.
std::string CreateEmptyRecordStore(const std::filesystem::path& path);

}  // namespace vorelle
