#pragma once

#include "recordings/RecordingLayout.h"
#include "recordings/UnitLabels.h"

#include <string>

namespace vorelle {

// What the graph needs of the recording the record store holds, as the store
// notes it: which readings it carries and the units its header names. Empty
// labels and the main layout for a store that notes no recording.
struct RecordingForGraph {
    std::string recordingName;  // its name on the console, bytes as sent
    RecordingLayout layout = RecordingLayout::Main;
    UnitLabels labels;
};

}  // namespace vorelle
