#pragma once

#include "records/RecordTime.h"

#include <filesystem>
#include <string>

namespace vorelle {

// The record store a command works on: `option` when the command line names
// one; else QM710.db in the working data folder, which is made ready as the
// program makes it ready at start.
std::filesystem::path RecordStorePath(const std::string& option);

// The desktop's order of day and month, read from the locale's date format
// (LC_TIME): month first when "%m" (or "%D") comes before the day.
DateOrder DesktopDateOrder();

}  // namespace vorelle
