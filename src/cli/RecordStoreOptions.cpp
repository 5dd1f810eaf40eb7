#include "cli/RecordStoreOptions.h"

#include "store/DataFolder.h"

namespace vorelle {

std::filesystem::path PreparedDataFolder()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::filesystem::path dataFolder = WorkingDataFolder();
    PrepareDataFolder(ShippedFolderBeside(program.parent_path()), dataFolder);
    return dataFolder;
}

std::filesystem::path RecordStorePath(const std::string& option)
{
    return option.empty() ? PreparedDataFolder() / kRecordStoreFile : std::filesystem::path(option);
}

}  // namespace vorelle
