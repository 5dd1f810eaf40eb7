#include "store/HistorySchema.h"

#include "store/HistoryValues.h"
#include "store/StoreSql.h"

#include <sqlite3.h>

#include <array>
#include <string_view>
#include <vector>

namespace vorelle {

namespace {

constexpr std::array<std::string_view, 3> kTriggerEvents = {"INSERT", "UPDATE", "DELETE"};
constexpr const char* kFormat = "1";

// The tables whose change by another program drops the mark.
std::vector<std::string> WatchedTables()
{
    std::vector<std::string> tables;
    for (const RecordingLayout kind : kHistoryKinds)
        tables.push_back(ReadingsTableName(kind));
    tables.push_back("Summaries");
    return tables;
}

std::string TriggerName(const std::string& table, std::string_view event)
{
    return table + "Changed" + std::string(event);
}

// Every table and trigger, each created only if it is not there yet.
std::string SchemaSql()
{
    std::string sql;
    for (const RecordingLayout kind : kHistoryKinds) {
        sql += "CREATE TABLE IF NOT EXISTS " + ReadingsTableName(kind) + " (Key INTEGER PRIMARY KEY";
        for (std::size_t column = kFirstValueColumn; column < kRecordColumns.size(); ++column)
            sql += ", " + std::string(kRecordColumns[column]);
        sql += ");\n";
    }
    sql +=
        "CREATE TABLE IF NOT EXISTS Summaries (Kind INTEGER NOT NULL, Span INTEGER NOT NULL,"
        " Quantity INTEGER NOT NULL, Start INTEGER NOT NULL, Lowest, Highest, First, Last, Sum, Count,"
        " PRIMARY KEY (Kind, Span, Quantity, Start)) WITHOUT ROWID;\n"
        "CREATE TABLE IF NOT EXISTS Meta (Name TEXT PRIMARY KEY, Value);\n"
        "CREATE TABLE IF NOT EXISTS MergedRecordings (Name TEXT PRIMARY KEY, Bytes INTEGER NOT NULL);\n";
    for (const std::string& table : WatchedTables()) {
        for (const std::string_view event : kTriggerEvents) {
            sql += "CREATE TRIGGER IF NOT EXISTS " + TriggerName(table, event) + " AFTER " + std::string(event) +
                   " ON " + table + " BEGIN DELETE FROM Meta WHERE Name = 'SummariesCurrent'; END;\n";
        }
    }
    return sql;
}

// How many of the schema's tables and triggers that keep the summaries
// honest the file has, of how many, and whether it has MergedRecordings
// (which tells nothing about the summaries).
struct SchemaObjects {
    int present = 0;
    int all = 0;
    bool mergedRecordings = false;

    bool Complete() const { return present == all && mergedRecordings; }
};

StoreResult<SchemaObjects> CountSchemaObjects(sqlite3* db)
{
    std::string names = "'Meta'";
    int all = 1;
    for (const std::string& table : WatchedTables()) {
        names += ", '" + table + "'";
        for (const std::string_view event : kTriggerEvents)
            names += ", '" + TriggerName(table, event) + "'";
        all += 1 + static_cast<int>(kTriggerEvents.size());
    }
    StoreResult<SqlStatement> count =
        PrepareSql(db, "SELECT count(*), (SELECT count(*) FROM sqlite_master WHERE name = 'MergedRecordings')"
                       " FROM sqlite_master WHERE name IN (" + names + ")");
    if (!count)
        return count.TakeError();
    if (sqlite3_step(count->get()) != SQLITE_ROW)
        return SqlError(db);
    return SchemaObjects{sqlite3_column_int(count->get(), 0), all, sqlite3_column_int(count->get(), 1) > 0};
}

StoreStatus CheckFormat(sqlite3* db)
{
    StoreResult<SqlStatement> format = PrepareSql(db, "SELECT Value FROM Meta WHERE Name = 'Format'");
    if (!format)
        return format.TakeError();
    const int stepped = sqlite3_step(format->get());
    if (stepped == SQLITE_ROW) {
        const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(format->get(), 0));
        if (!value || std::string_view(value) != kFormat)
            return StoreError{"The history file was written in a format this program does not know."};
        return StoreDone{};
    }
    if (stepped != SQLITE_DONE)
        return SqlError(db);
    return StoreDone{};
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

StoreStatus PrepareHistorySchema(sqlite3* db)
{
    StoreResult<SchemaObjects> objects = CountSchemaObjects(db);
    if (!objects)
        return objects.TakeError();
    if (!objects->Complete()) {
        // Counted again inside the transaction: another connection may have
        // made the tables meanwhile.
        StoreResult<SqlTransaction> transaction = SqlTransaction::Begin(db);
        if (!transaction)
            return transaction.TakeError();
        objects = CountSchemaObjects(db);
        if (!objects)
            return objects.TakeError();
        if (!objects->Complete()) {
            // A file with every table but MergedRecordings keeps its mark.
            const char* mark = objects->present == 0            ? "INSERT INTO Meta VALUES ('SummariesCurrent', 1);"
                               : objects->present == objects->all ? ""
                                                                  : "DELETE FROM Meta WHERE Name = 'SummariesCurrent';";
            const std::string sql =
                SchemaSql() + mark + "INSERT OR IGNORE INTO Meta VALUES ('Format', '" + kFormat + "');";
            if (StoreStatus created = ExecuteSql(db, sql.c_str()); !created)
                return created;
        }
        if (StoreStatus committed = transaction->Commit(); !committed)
            return committed;
    }
    if (StoreStatus checked = CheckFormat(db); !checked)
        return checked;
    // Only when missing: with the table there, this writes nothing.
    return ExecuteSql(db,
                      "CREATE TABLE IF NOT EXISTS Units (Kind INTEGER PRIMARY KEY, Newest INTEGER NOT NULL,"
                      " Temperature TEXT, Pressure TEXT, Rain TEXT, Wind TEXT, Light TEXT);");
}

StoreResult<bool> SummariesMarkedCurrent(sqlite3* db)
{
    StoreResult<SqlStatement> mark = PrepareSql(db, "SELECT Value FROM Meta WHERE Name = 'SummariesCurrent'");
    if (!mark)
        return mark.TakeError();
    const int stepped = sqlite3_step(mark->get());
    if (stepped == SQLITE_ROW)
        return sqlite3_column_int(mark->get(), 0) == 1;
    if (stepped != SQLITE_DONE)
        return SqlError(db);
    return false;
}

StoreStatus MarkSummariesCurrent(sqlite3* db)
{
    return ExecuteSql(db, "INSERT OR REPLACE INTO Meta VALUES ('SummariesCurrent', 1);");
}

}  // namespace vorelle
