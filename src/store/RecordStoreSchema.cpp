#include "store/RecordStoreSchema.h"

#include <sqlite3.h>

namespace vorelle {

namespace {

// One row per reading, as a recording file gives it. Time is an automation
// date (days since 30 December 1899, the wall-clock time the recording
// shows); 65535 marks a missing value.
//
// Large pages make a year's import write a few thousand pages instead of tens
// of thousands, and let a range query read long runs of rows per page.
constexpr const char* kSchema = R"sql(
PRAGMA page_size=65536;
CREATE TABLE Records (
    Time          REAL    NOT NULL,
    No            INTEGER NOT NULL DEFAULT 0,
    InHumi        INTEGER,
    OutHumi       INTEGER,
    WindDirection INTEGER,
    UV            INTEGER,
    InTemp        REAL,
    OutTemp       REAL,
    Wind          REAL,
    Gust          REAL,
    DewPoint      REAL,
    WindChill     REAL,
    RelPressure   REAL,
    AbsPressure   REAL,
    Rain          REAL,
    RainHour      REAL,
    RainDay       REAL,
    RainWeek      REAL,
    RainMonth     REAL,
    RainYear      REAL,
    Light         REAL
);
CREATE TABLE Param (
    Name  TEXT PRIMARY KEY,
    Value TEXT
);
)sql";

}  // namespace

std::string CreateRecordTables(sqlite3* db)
{
    char* failure = nullptr;
    if (sqlite3_exec(db, kSchema, nullptr, nullptr, &failure) == SQLITE_OK &&
        sqlite3_exec(db, kCreateTimeIndex, nullptr, nullptr, &failure) == SQLITE_OK)
        return {};
    std::string message = failure ? failure : "cannot create the tables";
    sqlite3_free(failure);
    return message;
}

std::string CreateEmptyRecordStore(const std::filesystem::path& path)
{
    std::error_code error;
    if (std::filesystem::exists(path, error))
        return path.string() + " already exists";
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.string().c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        std::string message = db ? sqlite3_errmsg(db) : "cannot open the database";
        sqlite3_close(db);
        return message;
    }
    const std::string message = CreateRecordTables(db);
    sqlite3_close(db);
    if (!message.empty())
        std::filesystem::remove(path, error);
    return message;
}

}  // namespace vorelle
