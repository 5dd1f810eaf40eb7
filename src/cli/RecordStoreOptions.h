#pragma once

#include "store/DesktopDateOrder.h"

#include <filesystem>
#include <string>

namespace vorelle {

// The record store a command works on: `option` when the command line names
// one; else QM710.db in the working data folder, which is made ready as the
// program makes it ready at start.
std::filesystem::path RecordStorePath(const std::string& option);

}  // namespace vorelle
