#pragma once

#include "link/HidTransport.h"
#include "recordings/RecordingEntry.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vorelle {

// The card's file commands as bytes: the listing's entry reports, the file
// request and the delete request.

// The longest name a listing entry can carry: the name starts at byte 7.
inline constexpr std::size_t kMaxListedNameLength = kReportSize - 7;
// The longest name a delete request can carry: the name starts at byte 3.
inline constexpr std::size_t kMaxDeleteNameLength = kReportSize - 3;

// The file a listing report names (byte 6 non-zero): size in bytes 2 to 5,
// big-endian and unsigned, the name's length in byte 6, the name from byte 7.
// Nothing when the length byte would run past the report.
std::optional<RecordingEntry> ParseFileEntry(const Report& report);

// The request for the bytes of `entry` from `offset` on: the offset and the
// listed size big-endian, the name's length and the name. The name must be at
// most kMaxRequestNameLength bytes.
Report MakeFileRequest(const RecordingEntry& entry, std::uint32_t offset);

// The request to delete `rawName`, at most kMaxDeleteNameLength bytes.
Report MakeDeleteRequest(std::string_view rawName);

}  // namespace vorelle
