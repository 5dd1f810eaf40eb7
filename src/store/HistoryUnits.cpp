// The units each kind's readings were written in, as the merges note them.
#include "store/HistorySchema.h"
#include "store/HistoryStore.h"

#include <sqlite3.h>

#include <array>

namespace vorelle {

namespace {

// The labels in the order of the Units table's columns after Newest.
template <typename Labels>
auto LabelFields(Labels& labels)
{
    return std::array{&labels.temperature, &labels.pressure, &labels.rain, &labels.wind, &labels.light};
}

}  // namespace

StoreStatus NoteUnits(sqlite3* db, RecordingLayout kind, const UnitLabels& labels, StoreSeconds newest)
{
    StoreResult<SqlStatement> note =
        PrepareSql(db,
                   "INSERT INTO Units VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7) ON CONFLICT (Kind) DO UPDATE SET"
                   " Newest = excluded.Newest, Temperature = excluded.Temperature, Pressure = excluded.Pressure,"
                   " Rain = excluded.Rain, Wind = excluded.Wind, Light = excluded.Light"
                   " WHERE excluded.Newest >= Units.Newest");
    if (!note)
        return note.TakeError();
    sqlite3_stmt* statement = note->get();
    sqlite3_bind_int(statement, 1, SummaryKindNumber(kind));
    sqlite3_bind_int64(statement, 2, newest);
    int index = 3;
    for (const std::string* label : LabelFields(labels))
        sqlite3_bind_text(statement, index++, label->c_str(), static_cast<int>(label->size()), SQLITE_TRANSIENT);
    return StepToEnd(db, statement);
}

StoreResult<UnitLabels> HistoryStore::Units(RecordingLayout kind)
{
    StoreResult<SqlStatement> note = PrepareSql(
        db_.get(), "SELECT Temperature, Pressure, Rain, Wind, Light FROM Units WHERE Kind = ?1");
    if (!note)
        return note.TakeError();
    sqlite3_stmt* statement = note->get();
    sqlite3_bind_int(statement, 1, SummaryKindNumber(kind));
    UnitLabels labels;
    const int stepped = sqlite3_step(statement);
    if (stepped == SQLITE_ROW) {
        int index = 0;
        for (std::string* label : LabelFields(labels)) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, index++));
            *label = text ? text : "";
        }
    } else if (stepped != SQLITE_DONE) {
        return SqlError(db_.get());
    }
    return labels;
}

}  // namespace vorelle
