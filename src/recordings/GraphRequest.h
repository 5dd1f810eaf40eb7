#pragma once

#include "recordings/RecordingLayout.h"
#include "recordings/UnitLabels.h"

#include <string>

namespace vorelle {

// What the graph needs of the recording the record store holds: which
// readings it carries and the units its header names. Empty labels and the
// main layout when nothing was imported since the program started.
struct GraphRequest {
    std::string recordingName;  // its name on the console, bytes as sent
    RecordingLayout layout = RecordingLayout::Main;
    UnitLabels labels;
};

}  // namespace vorelle
