#pragma once

#include "config/IniFile.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vorelle {

inline constexpr std::string_view kHistorySection = "History";
inline constexpr int kMaxCatchUpMinutes = 24 * 60;

// Whether the history catches up from the console by itself while it is
// connected, and how often; kept in Main.ini's [History] section under the
// keys catch_up (true or false) and catch_up_minutes (1 to 1440).
struct CatchUpSettings {
    bool enabled = true;
    int intervalMinutes = 15;

    friend bool operator==(const CatchUpSettings&, const CatchUpSettings&) = default;
};

// The [History] section. An absent key keeps its default; a value that
// cannot be read keeps it too, and what is wrong with it is added to
// `problems`.
CatchUpSettings ReadCatchUpSettings(const IniFile& ini, std::vector<std::string>& problems);
// The same from the file (Main.ini); one that does not exist gives the
// defaults, one that cannot be read gives them with the reason in `problems`.
CatchUpSettings ReadCatchUpSettingsFile(const std::filesystem::path& file, std::vector<std::string>& problems);

// Writes the settings into the [History] section of `file`, every other line
// as it was, the file written whole and its mode kept. False with the reason
// when the file cannot be read or written.
bool SaveCatchUpSettings(const std::filesystem::path& file, const CatchUpSettings& settings, std::string& error);

}  // namespace vorelle
