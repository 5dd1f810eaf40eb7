#include "recordings/CatchUpSettings.h"

#include <charconv>

namespace vorelle {

namespace fs = std::filesystem;

CatchUpSettings ReadCatchUpSettings(const IniFile& ini, std::vector<std::string>& problems)
{
    CatchUpSettings settings;
    if (const std::optional<std::string> text = ini.Value(kHistorySection, "catch_up")) {
        if (const std::optional<bool> on = ReadIniSwitch(*text))
            settings.enabled = *on;
        else
            problems.push_back("[History] catch_up must be true or false");
    }
    if (const std::optional<std::string> text = ini.Value(kHistorySection, "catch_up_minutes")) {
        int minutes = 0;
        const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), minutes);
        if (error == std::errc() && end == text->data() + text->size() && minutes >= 1 &&
            minutes <= kMaxCatchUpMinutes)
            settings.intervalMinutes = minutes;
        else
            problems.push_back("[History] catch_up_minutes must be a number from 1 to " +
                               std::to_string(kMaxCatchUpMinutes));
    }
    return settings;
}

CatchUpSettings ReadCatchUpSettingsFile(const fs::path& file, std::vector<std::string>& problems)
{
    std::string text;
    std::string error;
    if (!ReadTextFile(file, text, error)) {
        problems.push_back(file.string() + ": " + error);
        return {};
    }
    return ReadCatchUpSettings(IniFile(text), problems);
}

bool SaveCatchUpSettings(const fs::path& file, const CatchUpSettings& settings, std::string& error)
{
    std::string text;
    if (!ReadTextFile(file, text, error))
        return false;
    IniFile ini(text);
    ini.Set(kHistorySection, "catch_up", settings.enabled ? "true" : "false");
    ini.Set(kHistorySection, "catch_up_minutes", std::to_string(settings.intervalMinutes));
    std::error_code ignored;
    const fs::file_status status = fs::status(file, ignored);
    const fs::perms mode = fs::exists(status) ? status.permissions() & fs::perms::mask
                                              : fs::perms::owner_read | fs::perms::owner_write |
                                                    fs::perms::group_read | fs::perms::others_read;
    return WriteTextFileWhole(file, ini.Text(), mode, error);
}

}  // namespace vorelle
