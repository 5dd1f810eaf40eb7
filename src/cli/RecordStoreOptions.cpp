#include "cli/RecordStoreOptions.h"

#include "records/DataFolder.h"

#include <clocale>
#include <string_view>

#include <langinfo.h>

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

DateOrder DesktopDateOrder()
{
    std::setlocale(LC_TIME, "");
    const std::string_view format = nl_langinfo(D_FMT);
    const std::size_t month = std::min(format.find("%m"), format.find("%D"));
    const std::size_t day = std::min(format.find("%d"), format.find("%e"));
    return month < day ? DateOrder::MonthDayYear : DateOrder::DayMonthYear;
}

}  // namespace vorelle
