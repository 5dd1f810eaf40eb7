#pragma once

#include "store/WeatherRecord.h"

#include <array>
#include <cstddef>
#include <optional>

struct sqlite3_stmt;

namespace vorelle {

// The value columns of a reading: every column of kRecordColumns but Time,
// numbered by their place there (1 for No to 20 for Light), which is also
// how the summaries name them.
inline constexpr std::size_t kFirstValueColumn = 1;
inline constexpr std::size_t kValueColumns = kRecordColumns.size() - kFirstValueColumn;

// A reading's values by column, none where it is missing.
using ReadingValues = std::array<std::optional<double>, kValueColumns>;

// The value column named `name` (any case), or none for Time or a name that
// is not a column.
std::optional<std::size_t> ValueColumnIndex(std::string_view name);

// The values of `record`: integer columns as they are, decimal columns as
// the float they hold; kMissingValue (65535) is none.
ReadingValues ValuesOf(const WeatherRecord& record);

// How a value is stored. None is NULL. An integer column's value is an
// integer. A decimal column's value that is a whole number of hundredths is
// stored as that number of hundredths, an integer (two to four bytes where a
// floating-point number takes eight: most readings have one or two
// decimals); any other is stored as the floating-point number it is. Either
// way it reads back as exactly the float it was.
void BindStoredValue(sqlite3_stmt* statement, int index, std::size_t column, std::optional<double> value);

// The value at `index` of the statement's row, read back as BindStoredValue
// stored it: none for NULL; NaN for what is not a number (text or bytes
// another program wrote), which equals no reading and which queries leave
// out.
std::optional<double> StoredValue(sqlite3_stmt* statement, int index, std::size_t column);

// A sum or a count: a plain number, an integer when it is a whole one.
void BindPlainNumber(sqlite3_stmt* statement, int index, double value);

}  // namespace vorelle
