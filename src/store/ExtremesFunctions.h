#pragma once

struct sqlite3;

namespace vorelle {

// SQL functions that find a column's highest and lowest reading in one pass:
//
//   SELECT vorelle_highest(e) AS Max1, vorelle_lowest(e) AS Min1
//   FROM (SELECT vorelle_extremes(OutTemp) AS e FROM Records WHERE ...)
//
// gives the same two values as max(OutTemp) and min(OutTemp) over the rows
// whose OutTemp is not the missing value 65535, null for none, in about half
// the time: SQLite's max and min each compare and copy a value per row, and a
// year of one-minute readings is half a million rows. Values that are not
// numbers (null, or text another program wrote) are left out, as they are of
// the range's rows.
//
// Registers the three on `db`; returns SQLite's status.
int RegisterExtremesFunctions(sqlite3* db);

}  // namespace vorelle
