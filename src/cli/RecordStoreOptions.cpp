#include "cli/RecordStoreOptions.h"

#include "store/DataFolder.h"

namespace vorelle {

std::filesystem::path RecordStorePath(const std::string& option)
{
    if (!option.empty())
        return option;
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::filesystem::path dataFolder = WorkingDataFolder();
    PrepareDataFolder(ShippedFolderBeside(program.parent_path()), dataFolder);
    return dataFolder / kRecordStoreFile;
}

}  // namespace vorelle
