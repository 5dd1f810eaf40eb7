#include "records/DataFolder.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>

namespace vorelle {

namespace fs = std::filesystem;

fs::path WorkingDataFolder()
{
    const auto variable = [](const char* name) {
        const char* value = std::getenv(name);
        return value ? std::string(value) : std::string();
    };
    if (const std::string overridden = variable("VORELLE2_DATA_DIR"); !overridden.empty())
        return overridden;
    // Only an absolute XDG_DATA_HOME counts; a relative one is to be ignored.
    if (const fs::path xdg = variable("XDG_DATA_HOME"); xdg.is_absolute())
        return xdg / "Vorelle2";
    return fs::path(variable("HOME")) / ".local" / "share" / "Vorelle2";
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
