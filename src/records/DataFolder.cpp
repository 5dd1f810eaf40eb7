#include "records/DataFolder.h"

#include <algorithm>
#include <cctype>

namespace vorelle {

namespace fs = std::filesystem;

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
