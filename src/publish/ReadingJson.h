#pragma once

#include "live/LiveReadings.h"

#include <chrono>
#include <string>
#include <string_view>

namespace vorelle {

// One reading as it leaves the program: the console's readings and units, and
// the moment they were read.
struct TimedReading {
    LiveReadings::Snapshot snapshot;
    std::chrono::system_clock::time_point takenAt;
};

// `text` as a JSON string, quotes included.
std::string JsonQuoted(std::string_view text);

// "2026-05-12T08:30:00Z": the moment in UTC, to the second.
std::string UtcTimeText(std::chrono::system_clock::time_point moment);

// The JSON object `vorelle2-cli live --json` prints, byte for byte: the
// console ("simulated" or "usb"), the unit codes and, per quantity, its name,
// raw value in console units, whether it is missing, and its text.
std::string LiveJson(const LiveReadings::Snapshot& snapshot, bool simulated);

// The same reading on one line for a stream of readings: the time it was read,
// the unit codes and the quantities as LiveJson gives them.
std::string FollowJsonLine(const TimedReading& reading);

// The state a home-automation system reads, on one line: the time it was read,
// the unit names the board shows, and under "readings" each quantity's value
// as the number the board shows in the console's display units (71.2 for
// "71.2 °F"), or null when it is missing. Light is the number in its unit,
// never in thousands: 52345.6 where the board shows "52.3 k lux".
std::string StateJson(const TimedReading& reading);

}  // namespace vorelle
