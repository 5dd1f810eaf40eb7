#include "store/DataFolder.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

namespace vorelle {

namespace fs = std::filesystem;

namespace {

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

fs::path HomeFolder()
{
    const std::string home = Environment("HOME");
    if (!home.empty())
        return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
        return found->pw_dir;
    return "/";
}

}  // namespace

fs::path WorkingDataFolder()
{
    const std::string overridden = Environment("VORELLE2_DATA_DIR");
    if (!overridden.empty())
        return overridden;
    // Only an absolute XDG_DATA_HOME counts; a relative one is to be ignored.
    const fs::path dataHome = Environment("XDG_DATA_HOME");
    const fs::path base = dataHome.is_absolute() ? dataHome : HomeFolder() / ".local" / "share";
    return base / "Vorelle2";
}

fs::path ShippedFolderBeside(const fs::path& programFolder)
{
    std::error_code ignored;
    if (fs::exists(programFolder / kRecordStoreFile, ignored))
        return programFolder;
    return (programFolder / ".." / "share" / "vorelle2").lexically_normal();
}

void PrepareDataFolder(const fs::path& shippedFolder, const fs::path& dataFolder)
{
    std::error_code ignored;
    fs::create_directories(dataFolder, ignored);
    for (const char* name : {kRecordStoreFile, kConfigurationFile})
        fs::copy_file(shippedFolder / name, dataFolder / name, fs::copy_options::skip_existing, ignored);
    // An installation may ship the file read-only; the working copy must not be.
    fs::permissions(dataFolder / kConfigurationFile, fs::perms::owner_read | fs::perms::owner_write,
                    fs::perm_options::add, ignored);
}

bool IsRecordingCopy(const fs::path& file)
{
    // The console's card may name its files in capitals.
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".csv";
}

int DeleteRecordingCopies(const fs::path& dataFolder)
{
    int deleted = 0;
    std::error_code error;
    for (fs::directory_iterator entry(dataFolder, error), end; !error && entry != end; entry.increment(error)) {
        std::error_code ignored;
        if (IsRecordingCopy(entry->path()) && entry->is_regular_file(ignored) && fs::remove(entry->path(), ignored))
            ++deleted;
    }
    return deleted;
}

}  // namespace vorelle
