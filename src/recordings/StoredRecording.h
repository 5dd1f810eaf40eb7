#pragma once

#include "recordings/UnitLabels.h"

#include <string>
#include <string_view>

namespace vorelle {

class RecordDatabase;

// What the record store notes about the recording it holds, so that a graph
// drawn later (by `vorelle2 --plot`, or after a restart) knows its kind and
// its units. A store imported before the notes existed gives an empty name
// (the main recording) and empty labels.
struct StoredRecording {
    std::string name;
    UnitLabels labels;
};

// Notes `recording` in the store's Param table, inside the import that
// stores its rows. Returns 0, or 2 after a reported failure.
int NoteStoredRecording(RecordDatabase& store, const StoredRecording& recording);

StoredRecording StoredRecordingOf(RecordDatabase& store);

}  // namespace vorelle
