#include "store/ExtremesFunctions.h"

#include "store/WeatherRecord.h"

#include <sqlite3.h>

#include <cstring>

namespace vorelle {

namespace {

// What vorelle_extremes hands to vorelle_highest and vorelle_lowest, as a
// blob. The extremes come back as real numbers whatever the column's type:
// every reader of a query takes its values as doubles.
struct Extremes {
    double highest;
    double lowest;
};

// The aggregate's state, zeroed by SQLite before the first row: `seen` tells
// the first number apart.
struct ExtremesState {
    Extremes extremes;
    bool seen;
};

constexpr int kFlags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;

void ExtremesStep(sqlite3_context* context, int, sqlite3_value** arguments)
{
    const int type = sqlite3_value_type(arguments[0]);
    if (type != SQLITE_INTEGER && type != SQLITE_FLOAT)
        return;
    const double value = sqlite3_value_double(arguments[0]);
    if (value == kMissingValue)
        return;
    auto* state = static_cast<ExtremesState*>(sqlite3_aggregate_context(context, sizeof(ExtremesState)));
    if (!state) {
        sqlite3_result_error_nomem(context);
        return;
    }
    Extremes& e = state->extremes;
    if (!state->seen || value > e.highest)
        e.highest = value;
    if (!state->seen || value < e.lowest)
        e.lowest = value;
    state->seen = true;
}

void ExtremesFinal(sqlite3_context* context)
{
    // Asking for no bytes allocates nothing: null when no row was a number.
    const auto* state = static_cast<const ExtremesState*>(sqlite3_aggregate_context(context, 0));
    if (state && state->seen)
        sqlite3_result_blob(context, &state->extremes, sizeof(Extremes), SQLITE_TRANSIENT);
    else
        sqlite3_result_null(context);
}

template <double Extremes::*kWhich>
void PickExtreme(sqlite3_context* context, int, sqlite3_value** arguments)
{
    if (sqlite3_value_type(arguments[0]) != SQLITE_BLOB || sqlite3_value_bytes(arguments[0]) != sizeof(Extremes)) {
        sqlite3_result_null(context);
        return;
    }
    Extremes extremes;
    std::memcpy(&extremes, sqlite3_value_blob(arguments[0]), sizeof extremes);
    sqlite3_result_double(context, extremes.*kWhich);
}

}  // namespace

int RegisterExtremesFunctions(sqlite3* db)
{
    int status = sqlite3_create_function_v2(db, "vorelle_extremes", 1, kFlags, nullptr, nullptr, ExtremesStep,
                                            ExtremesFinal, nullptr);
    if (status == SQLITE_OK)
        status = sqlite3_create_function_v2(db, "vorelle_highest", 1, kFlags, nullptr,
                                            PickExtreme<&Extremes::highest>, nullptr, nullptr, nullptr);
    if (status == SQLITE_OK)
        status = sqlite3_create_function_v2(db, "vorelle_lowest", 1, kFlags, nullptr,
                                            PickExtreme<&Extremes::lowest>, nullptr, nullptr, nullptr);
    return status;
}

}  // namespace vorelle
