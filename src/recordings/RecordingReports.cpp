#include "recordings/RecordingReports.h"

#include "link/Commands.h"
#include "recordings/RecordingNames.h"

#include <algorithm>
#include <cassert>

namespace vorelle {

namespace {

constexpr std::size_t kEntrySizeAt = 2;
constexpr std::size_t kEntryNameLengthAt = 6;
constexpr std::size_t kEntryNameAt = 7;
constexpr std::size_t kRequestOffsetAt = 2;
constexpr std::size_t kRequestSizeAt = 6;
constexpr std::size_t kRequestNameLengthAt = 10;
constexpr std::size_t kDeleteNameLengthAt = 2;

void StoreBigEndian(Report& report, std::size_t at, std::uint32_t value)
{
    report[at] = static_cast<std::uint8_t>(value >> 24);
    report[at + 1] = static_cast<std::uint8_t>(value >> 16);
    report[at + 2] = static_cast<std::uint8_t>(value >> 8);
    report[at + 3] = static_cast<std::uint8_t>(value);
}

// The name's length byte, then the name, and the total meaningful length in
// byte 1.
void StoreName(Report& report, std::size_t lengthAt, std::string_view rawName)
{
    const std::size_t nameAt = lengthAt + 1;
    assert(rawName.size() <= kReportSize - nameAt);
    const std::size_t length = std::min(rawName.size(), kReportSize - nameAt);
    report[1] = static_cast<std::uint8_t>(nameAt + length);
    report[lengthAt] = static_cast<std::uint8_t>(length);
    std::copy_n(rawName.begin(), length, report.begin() + static_cast<std::ptrdiff_t>(nameAt));
}

}  // namespace

std::optional<RecordingEntry> ParseFileEntry(const Report& report)
{
    const std::size_t length = report[kEntryNameLengthAt];
    if (length == 0 || length > kMaxListedNameLength)
        return std::nullopt;
    RecordingEntry entry;
    entry.size = (static_cast<std::uint32_t>(report[kEntrySizeAt]) << 24) |
                 (static_cast<std::uint32_t>(report[kEntrySizeAt + 1]) << 16) |
                 (static_cast<std::uint32_t>(report[kEntrySizeAt + 2]) << 8) | report[kEntrySizeAt + 3];
    const auto name = report.begin() + kEntryNameAt;
    entry.name.assign(name, name + static_cast<std::ptrdiff_t>(length));
    return entry;
}

Report MakeFileRequest(const RecordingEntry& entry, std::uint32_t offset)
{
    assert(entry.name.size() <= kMaxRequestNameLength);
    Report request = MakeCommand(CMD_READ_FILE);
    StoreBigEndian(request, kRequestOffsetAt, offset);
    StoreBigEndian(request, kRequestSizeAt, entry.size);
    StoreName(request, kRequestNameLengthAt, entry.name);
    return request;
}

Report MakeDeleteRequest(std::string_view rawName)
{
    Report request = MakeCommand(CMD_DELETE_FILE);
    StoreName(request, kDeleteNameLengthAt, rawName);
    return request;
}

}  // namespace vorelle
