#pragma once

#include "store/RecordingLayout.h"
#include "store/StoreResult.h"

#include <string>

namespace vorelle {

class RecordDatabase;

// The units of a recording, as its header names them, for the graph's axes.
// Texts are UTF-8.
struct UnitLabels {
    std::string temperature;  // from column 1, "C" and "F" shown as "°C" and "°F"
    std::string pressure;     // column 3
    std::string rain;         // column 14
    std::string wind;         // column 9
    std::string light;        // column 12
};

// What the record store notes about the recording it holds, so that a graph
// drawn later (by `vorelle2 --plot`, or after a restart) knows its kind and
// its units. A store imported before the notes existed gives an empty name
// (the main recording) and empty labels.
struct StoredRecording {
    std::string name;  // its name on the console, bytes as sent
    UnitLabels labels;

    RecordingLayout Layout() const { return LayoutForRecording(name); }
};

// Notes `recording` in the store's Param table, inside the import that
// stores its rows.
StoreStatus NoteStoredRecording(RecordDatabase& store, const StoredRecording& recording);

StoreResult<StoredRecording> StoredRecordingOf(RecordDatabase& store);

}  // namespace vorelle
