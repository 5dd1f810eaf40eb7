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

// Creates the Records and Param tables in the open database `db`. Returns an
// empty text on success, else SQLite's message.
std::string CreateRecordTables(sqlite3* db);

// Creates an empty record store at `path`: the Records table of imported
// readings and the Param table. Returns an empty text on success, else what
// went wrong. An existing file is left alone and reported.
std::string CreateEmptyRecordStore(const std::filesystem::path& path);

}  // namespace vorelle
