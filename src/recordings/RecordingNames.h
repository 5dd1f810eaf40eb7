#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string_view>

namespace vorelle {

// The working file of a transfer, in the data folder: it takes the bytes as
// they arrive and joins the local copy only once the transfer is complete.
inline constexpr std::string_view kWorkingFileName = "temp.csv";

// The longest name a file request can carry: the name starts at byte 11 of
// the 64-byte report.
inline constexpr std::size_t kMaxRequestNameLength = 53;

enum class ExportNameCheck {
    Fits,             // the file can be fetched into the data folder
    NotAFileName,     // a path, or the name of one of the program's own files
    TooLongToRequest  // longer than a file request can carry
};

// Whether a name from the console may become a file of the data folder: not
// empty, not "." or "..", no separator, drive colon or control character
// (NUL included), and not the name of one of the program's own files, case
// ignored.
bool IsSafeLocalName(std::string_view rawName);

ExportNameCheck CheckExportName(std::string_view rawName);

// Where the local copy of the card file `rawName` lives; nothing for a name
// that is not safe.
std::optional<std::filesystem::path> LocalCopyPath(const std::filesystem::path& dataFolder, std::string_view rawName);

}  // namespace vorelle
