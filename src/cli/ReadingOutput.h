#pragma once

#include "live/LiveReadings.h"

namespace vorelle {

// What vorelle2-cli live prints of a reading.

// Every quantity's name and its text as the board shows it, a line each.
void PrintReadingLines(const LiveReadings::Snapshot& reading);

// One reading of a stream: with `json` the one-line JSON object of
// FollowJsonLine, else the time it was read (UTC) on a line of its own, the
// quantities' lines and an empty line. Flushed at once; false when the
// output could not be written.
bool PrintFollowedReading(const LiveReadings::Snapshot& reading, bool json);

// The console went away or came back: the time and the status bar's word,
// "Unconnected" or "Connected" (with `json`, {"time": ..., "status": ...}).
// Flushed at once; false when the output could not be written.
bool PrintConsoleStatus(bool connected, bool json);

}  // namespace vorelle
