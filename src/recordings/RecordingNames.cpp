#include "recordings/RecordingNames.h"

#include "recordings/RecordingEntry.h"
#include "store/DataFolder.h"

#include <algorithm>
#include <array>
#include <string>

namespace vorelle {

namespace {

bool EqualIgnoringCase(std::string_view a, std::string_view b)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) {
               return lower(x) == lower(y);
           });
}

bool IsOwnFile(std::string_view name)
{
    // The firmware update's two scratch files, and the record store and the
    // history with the journal files SQLite keeps beside them.
    static constexpr std::array<std::string_view, 4> kOwnFiles{kConfigurationFile, kWorkingFileName, "Tempbin.hex",
                                                               "Tempbin.bin"};
    for (const std::string_view store : {std::string_view(kRecordStoreFile), std::string_view(kHistoryFile)})
        if (name.size() >= store.size() && EqualIgnoringCase(name.substr(0, store.size()), store))
            return true;
    return std::any_of(kOwnFiles.begin(), kOwnFiles.end(),
                       [&](std::string_view own) { return EqualIgnoringCase(name, own); });
}

bool IsForbiddenByte(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F || c == '/' || c == '\\' || c == ':';
}

}  // namespace

bool IsSafeLocalName(std::string_view rawName)
{
    if (rawName.empty() || rawName == "." || rawName == "..")
        return false;
    if (std::any_of(rawName.begin(), rawName.end(), IsForbiddenByte))
        return false;
    return !IsOwnFile(rawName);
}

ExportNameCheck CheckExportName(std::string_view rawName)
{
    if (!IsSafeLocalName(rawName))
        return ExportNameCheck::NotAFileName;
    if (rawName.size() > kMaxRequestNameLength)
        return ExportNameCheck::TooLongToRequest;
    return ExportNameCheck::Fits;
}

std::optional<std::filesystem::path> LocalCopyPath(const std::filesystem::path& dataFolder, std::string_view rawName)
{
    if (!IsSafeLocalName(rawName))
        return std::nullopt;
    // A safe name has no character that NameText escapes, so this is the
    // name itself in UTF-8.
    const std::string text = NameText(rawName);
    return dataFolder / std::u8string(text.begin(), text.end());
}

}  // namespace vorelle
