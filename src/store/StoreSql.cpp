#include "store/StoreSql.h"

#include <sqlite3.h>

namespace vorelle {

void SqlStatementFinalizer::operator()(sqlite3_stmt* statement) const
{
    sqlite3_finalize(statement);
}

void SqlConnectionCloser::operator()(sqlite3* db) const
{
    // Closing with a transaction open rolls it back.
    sqlite3_close(db);
}

StoreError SqlError(sqlite3* db)
{
    return {db ? sqlite3_errmsg(db) : sqlite3_errstr(SQLITE_NOMEM)};
}

StoreResult<SqlStatement> PrepareSql(sqlite3* db, std::string_view sql)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        return SqlError(db);
    }
    return SqlStatement(statement);
}

StoreStatus ExecuteSql(sqlite3* db, const char* statements)
{
    if (sqlite3_exec(db, statements, nullptr, nullptr, nullptr) != SQLITE_OK)
        return SqlError(db);
    return StoreDone{};
}

StoreStatus StepToEnd(sqlite3* db, sqlite3_stmt* statement)
{
    if (sqlite3_step(statement) != SQLITE_DONE) {
        StoreError error = SqlError(db);
        sqlite3_reset(statement);
        return error;
    }
    sqlite3_reset(statement);
    return StoreDone{};
}

StoreResult<SqlTransaction> SqlTransaction::Begin(sqlite3* db)
{
    if (StoreStatus begun = ExecuteSql(db, "BEGIN IMMEDIATE"); !begun)
        return begun.TakeError();
    return SqlTransaction(db);
}

SqlTransaction::SqlTransaction(SqlTransaction&& other) noexcept : db_(other.db_)
{
    other.db_ = nullptr;
}

SqlTransaction::~SqlTransaction()
{
    // SQLite may have rolled back by itself after a failed write already.
    if (db_ && !sqlite3_get_autocommit(db_))
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

StoreStatus SqlTransaction::Commit()
{
    StoreStatus committed = ExecuteSql(db_, "COMMIT");
    if (committed)
        db_ = nullptr;
    return committed;
}

}  // namespace vorelle
