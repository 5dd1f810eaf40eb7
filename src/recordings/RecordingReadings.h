#pragma once

#include "recordings/RecordingContent.h"
#include "store/HistoryStore.h"
#include "store/RecordTime.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

namespace vorelle {

// How every reader of a recording (the import into the record store, the
// merge into the history) takes its lines apart, so that both keep the same
// readings of the same text.

// What became of a recording's reading lines (blank lines are not readings
// and not counted): a line is read, and either has a time that can be read or
// is refused; a last line without its line end is held back, neither read
// nor refused: the console may be writing it still, and the next fetch
// brings the rest of it.
struct LineCounts {
    std::uint64_t linesRead = 0;
    std::uint64_t linesRefused = 0;
    std::uint64_t linesHeldBack = 0;
};

enum class LineFate { Reading, Refused, Blank, HeldBack };

// One line after the header, in the text's order.
struct RecordingLine {
    LineFate fate = LineFate::Blank;
    std::size_t row = 0;  // of the content, for a reading or a refused line
    CivilTime time;       // for a reading
    std::uint32_t bytes = 0;  // in the text, with its line end
};

// Goes through the lines after `content`'s header: every line read (a
// reading or a refused one) becomes the next row of `content`, and `take` is
// told of every line, `counts` of what became of it. False, with the lines
// before it taken, when `stop` is asked for before a line.
bool ReadRecordingLines(RecordingContent& content, DateOrder order, LineCounts& counts,
                        const std::function<void(const RecordingLine&)>& take, const std::stop_token& stop = {});

// A recording read for the history.
struct RecordingReadings {
    // Every reading line's time and values (by the layout the recording's
    // name chooses), in the text's order.
    std::vector<HistoryReading> readings;
    LineCounts lines;
    UnitLabels labels;  // as its header names them
};

// The one way a recording's whole text becomes the history's readings.
RecordingReadings ReadRecordingReadings(std::string text, std::string_view recordingName, DateOrder order);

// Recordings above this size are refused: the whole text is held in memory
// while it is read.
inline constexpr std::uint64_t kMaxRecordingBytes = std::uint64_t{1} << 30;

enum class RecordingFileRead { Read, Unreadable, TooLarge };

// A recording's whole file, read until its end even when it grows or
// shrinks meanwhile.
RecordingFileRead ReadRecordingFile(const std::filesystem::path& path, std::string& text);

}  // namespace vorelle
