#pragma once

#include "live/LiveValues.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace vorelle {

// The recording files the console writes on its SD card: comma-separated
// text, a header line of column titles with their units in parentheses, then
// one line per reading with the time first ("2026-05-12 14:05"), values in
// the console's display units and "--" for a sensor that did not answer.
// Lines end in LF.
enum class SimRecordingKind {
    Weather,   // the station's own sensors, 19 columns
    Channels,  // the extra channels: channel 1 in full, then the others' temperature and humidity
    Soil,      // the soil-moisture sensor
};

// What a file's name carries after its date: nothing, "CH" or "SM".
std::string_view RecordingNameMark(SimRecordingKind kind);

// One reading as the card writes it.
struct SimRecordedReading {
    std::tm localTime{};
    LiveValues values;            // rain totals as the card counts them
    std::int32_t rainLastHour{};  // tenths of mm, -1 when the gauge is missing
};

void AppendRecordingHeader(std::string& out, SimRecordingKind kind, const UnitCodes& units);
void AppendRecordingLine(std::string& out, SimRecordingKind kind, const SimRecordedReading& reading,
                         const UnitCodes& units);

}  // namespace vorelle
