#pragma once

#include "store/StoreResult.h"

#include <memory>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace vorelle {

// The little of SQLite's C interface the stores need, with their failures as
// StoreError carrying SQLite's message.

struct SqlStatementFinalizer {
    void operator()(sqlite3_stmt* statement) const;
};
using SqlStatement = std::unique_ptr<sqlite3_stmt, SqlStatementFinalizer>;

struct SqlConnectionCloser {
    void operator()(sqlite3* db) const;
};
using SqlConnection = std::unique_ptr<sqlite3, SqlConnectionCloser>;

// SQLite's message for the last failure on `db`.
StoreError SqlError(sqlite3* db);

StoreResult<SqlStatement> PrepareSql(sqlite3* db, std::string_view sql);
// Runs `statements` (any number, no results).
StoreStatus ExecuteSql(sqlite3* db, const char* statements);

// Steps a statement that gives no rows, then resets it for the next use.
StoreStatus StepToEnd(sqlite3* db, sqlite3_stmt* statement);

// A write transaction, begun at once (so no other writer can come between
// its reads and its writes) and rolled back unless committed: on a failure,
// on an early return, and (by SQLite's log) on the process dying.
class SqlTransaction {
public:
    static StoreResult<SqlTransaction> Begin(sqlite3* db);
    SqlTransaction(SqlTransaction&& other) noexcept;
    SqlTransaction& operator=(SqlTransaction&&) = delete;
    ~SqlTransaction();

    StoreStatus Commit();

private:
    explicit SqlTransaction(sqlite3* db) : db_(db) {}
    sqlite3* db_;
};

}  // namespace vorelle
