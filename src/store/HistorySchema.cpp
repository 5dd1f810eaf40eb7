#include "store/HistorySchema.h"

#include "store/HistorySql.h"
#include "store/HistoryValues.h"

#include <sqlite3.h>

#include <array>
#include <string_view>

namespace vorelle {

namespace {

constexpr std::array<RecordingLayout, 3> kHistoryKinds = {RecordingLayout::Main, RecordingLayout::Channel,
                                                          RecordingLayout::Soil};
constexpr std::array<std::string_view, 3> kTriggerEvents = {"INSERT", "UPDATE", "DELETE"};
constexpr const char* kFormat = "1";

std::string ReadingsTableSql(const std::string& table)
{
    std::string sql = "CREATE TABLE IF NOT EXISTS " + table + " (Key INTEGER PRIMARY KEY";
    for (std::size_t column = kFirstValueColumn; column < kRecordColumns.size(); ++column)
        sql += ", " + std::string(kRecordColumns[column]);
    return sql + ");\n";
}

// Every table and trigger, each created only if it is not there yet.
std::string SchemaSql()
{
    std::string sql;
    std::array<std::string, kHistoryKinds.size() + 1> watched;
    for (std::size_t i = 0; i < kHistoryKinds.size(); ++i) {
        watched[i] = ReadingsTableName(kHistoryKinds[i]);
        sql += ReadingsTableSql(watched[i]);
    }
    watched.back() = "Summaries";
    sql +=
        "CREATE TABLE IF NOT EXISTS Summaries (Kind INTEGER NOT NULL, Span INTEGER NOT NULL,"
        " Quantity INTEGER NOT NULL, Start INTEGER NOT NULL, Lowest, Highest, First, Last, Sum, Count,"
        " PRIMARY KEY (Kind, Span, Quantity, Start)) WITHOUT ROWID;\n"
        "CREATE TABLE IF NOT EXISTS Meta (Name TEXT PRIMARY KEY, Value);\n";
    for (const std::string& table : watched) {
        for (const std::string_view event : kTriggerEvents) {
            sql += "CREATE TRIGGER IF NOT EXISTS " + table + "Changed" + std::string(event) + " AFTER " +
                   std::string(event) + " ON " + table +
                   " BEGIN DELETE FROM Meta WHERE Name = 'SummariesCurrent'; END;\n";
        }
    }
    return sql;
}

// How many of the schema's tables and triggers the file has.
HistoryResult<int> SchemaObjectsPresent(sqlite3* db)
{
    std::string names;
    for (const RecordingLayout kind : kHistoryKinds)
        names += "'" + ReadingsTableName(kind) + "', ";
    names += "'Summaries', 'Meta'";
    for (const RecordingLayout kind : kHistoryKinds) {
        for (const std::string_view event : kTriggerEvents)
            names += ", '" + ReadingsTableName(kind) + "Changed" + std::string(event) + "'";
    }
    for (const std::string_view event : kTriggerEvents)
        names += ", 'SummariesChanged" + std::string(event) + "'";
    HistoryResult<SqlStatement> count =
        PrepareSql(db, "SELECT count(*) FROM sqlite_master WHERE name IN (" + names + ")");
    if (!count)
        return count.TakeError();
    if (sqlite3_step(count->get()) != SQLITE_ROW)
        return SqlError(db);
    return sqlite3_column_int(count->get(), 0);
}

constexpr int kSchemaObjects =
    static_cast<int>(kHistoryKinds.size() + 2 + (kHistoryKinds.size() + 1) * kTriggerEvents.size());

HistoryStatus CheckFormat(sqlite3* db)
{
    HistoryResult<SqlStatement> format = PrepareSql(db, "SELECT Value FROM Meta WHERE Name = 'Format'");
    if (!format)
        return format.TakeError();
    const int stepped = sqlite3_step(format->get());
    if (stepped == SQLITE_ROW) {
        const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(format->get(), 0));
        if (!value || std::string_view(value) != kFormat)
            return HistoryError{"The history file was written in a format this program does not know."};
        return HistoryDone{};
    }
    if (stepped != SQLITE_DONE)
        return SqlError(db);
    return HistoryDone{};
}

}  // namespace

std::string ReadingsTableName(RecordingLayout kind)
{
    switch (kind) {
        case RecordingLayout::Channel: return "ChannelReadings";
        case RecordingLayout::Soil: return "SoilReadings";
        case RecordingLayout::Main: break;
    }
    return "MainReadings";
}

int SummaryKindNumber(RecordingLayout kind)
{
    switch (kind) {
        case RecordingLayout::Channel: return 1;
        case RecordingLayout::Soil: return 2;
        case RecordingLayout::Main: break;
    }
    return 0;
}

HistoryStatus PrepareHistorySchema(sqlite3* db)
{
    HistoryResult<int> present = SchemaObjectsPresent(db);
    if (!present)
        return present.TakeError();
    if (present.Value() != kSchemaObjects) {
        // Counted again inside the transaction: another connection may have
        // made the tables meanwhile.
        HistoryResult<SqlTransaction> transaction = SqlTransaction::Begin(db);
        if (!transaction)
            return transaction.TakeError();
        present = SchemaObjectsPresent(db);
        if (!present)
            return present.TakeError();
        if (present.Value() != kSchemaObjects) {
            const std::string sql = SchemaSql() +
                                    (present.Value() == 0 ? "INSERT INTO Meta VALUES ('SummariesCurrent', 1);"
                                                          : "DELETE FROM Meta WHERE Name = 'SummariesCurrent';") +
                                    "INSERT OR IGNORE INTO Meta VALUES ('Format', '" + kFormat + "');";
            if (HistoryStatus created = ExecuteSql(db, sql.c_str()); !created)
                return created;
        }
        if (HistoryStatus committed = transaction->Commit(); !committed)
            return committed;
    }
    return CheckFormat(db);
}

HistoryResult<bool> SummariesMarkedCurrent(sqlite3* db)
{
    HistoryResult<SqlStatement> mark = PrepareSql(db, "SELECT Value FROM Meta WHERE Name = 'SummariesCurrent'");
    if (!mark)
        return mark.TakeError();
    const int stepped = sqlite3_step(mark->get());
    if (stepped == SQLITE_ROW)
        return sqlite3_column_int(mark->get(), 0) == 1;
    if (stepped != SQLITE_DONE)
        return SqlError(db);
    return false;
}

HistoryStatus MarkSummariesCurrent(sqlite3* db)
{
    return ExecuteSql(db, "INSERT OR REPLACE INTO Meta VALUES ('SummariesCurrent', 1);");
}

}  // namespace vorelle
