#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorelle {

// One file of the console's SD card as the listing names it.
struct RecordingEntry {
    // The name's bytes exactly as the console sent them (Latin-1). They go
    // back to the console unchanged, never through a label's text.
    std::string name;
    std::uint32_t size = 0;  // bytes

    friend bool operator==(const RecordingEntry&, const RecordingEntry&) = default;
};

// The name as text to show (UTF-8). Control characters and the backslash are
// written as \xNN, so that every name shows, no two names look the same, and
// what is shown can be typed back.
std::string NameText(std::string_view rawName);

// The size as the file list shows it: "%0.2f KB" up to 1 MiB, "%0.2f MB" above.
std::string SizeText(std::uint32_t size);

// Orders the list by name, descending, case ignored: names that begin with a
// year-first date come newest first.
void SortNewestFirst(std::vector<RecordingEntry>& entries);

// The entry whose shown name (NameText) is `text`; null when none is.
const RecordingEntry* FindByNameText(const std::vector<RecordingEntry>& entries, std::string_view text);

}  // namespace vorelle
