#pragma once

#include "store/RecordTime.h"
#include "store/RecordingLayout.h"
#include "store/StoreResult.h"
#include "store/StoredRecording.h"

#include <array>
#include <string>

struct sqlite3;

namespace vorelle {

// The tables of History.db.
//
// One table of readings per recording kind (MainReadings, ChannelReadings,
// SoilReadings) with the value columns of the record store's Records table,
// keyed by `Key` (HistoryTime.h: the wall-clock second and the ordinal of a
// repeated time), so a range of time is one run through the table. The value
// columns have no declared type, so that SQLite keeps each value as it is
// bound (HistoryValues.h): NULL for a missing reading, which costs no bytes,
// and an integer of hundredths for most decimal readings.
//
// Summaries: per kind, per bucket of time (an hour or a day: Span, in
// seconds), per value column (Quantity, its place in Records) and bucket
// (Start, its first second), the lowest, highest, first and last reading,
// their sum and their count. Lowest to Last are stored as readings are; Sum
// and Count are plain numbers. A bucket whose column holds no reading has
// no row. The key leads with the quantity, so that a graph's read of one
// column over years is one run through the table.
//
// MergedRecordings: per recording name (the bytes the console sent it by),
// the bytes of its card file the last merge of it held; written by the
// merge in its transaction, so it never claims readings the history lacks.
//
// Meta: Format (1), and SummariesCurrent (1) while the summaries agree with
// the readings. Only this program sets that mark, when it creates the
// tables and when it rebuilds the summaries; every merge keeps the
// summaries in step in its own transaction. Triggers on the readings and
// the summaries delete the mark when any other program changes them: the
// history's own connections run with triggers switched off. Without the
// mark, queries read the readings themselves.
//
// Units: per kind, the unit labels of the newest recording merged (the one
// whose last reading, Newest, lies latest), for the graph's axes. Made on
// opening when missing; a note beside the readings, not watched.

inline constexpr std::array<RecordingLayout, 3> kHistoryKinds = {RecordingLayout::Main, RecordingLayout::Channel,
                                                                 RecordingLayout::Soil};

std::string ReadingsTableName(RecordingLayout kind);
// The kind's number in Summaries.Kind.
int SummaryKindNumber(RecordingLayout kind);

// Makes the tables ready on a connection just opened with triggers off:
// creates them in a new file (the summaries of no readings are current);
// in a file that lacks some of them (written by something else), creates the
// missing ones and drops the mark. Refuses a file of another format.
StoreStatus PrepareHistorySchema(sqlite3* db);

// Whether the summaries agree with the readings.
StoreResult<bool> SummariesMarkedCurrent(sqlite3* db);
// Sets the mark; for the rebuild, inside its transaction.
StoreStatus MarkSummariesCurrent(sqlite3* db);

// Notes, inside a merge's transaction, the units a recording of `kind` whose
// last reading is at `newest` was written in, unless one that reaches later
// was noted.
StoreStatus NoteUnits(sqlite3* db, RecordingLayout kind, const UnitLabels& labels, StoreSeconds newest);

}  // namespace vorelle
