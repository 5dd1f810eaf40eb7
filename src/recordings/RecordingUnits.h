#pragma once

#include "store/StoredRecording.h"

namespace vorelle {

class RecordingContent;

// The unit labels a recording's header names. A column's label is its title
// from the first "(" on ("(hPa)"), or the whole title when it has none;
// empty when the header has no such column.
UnitLabels UnitLabelsOf(const RecordingContent& content);

}  // namespace vorelle
