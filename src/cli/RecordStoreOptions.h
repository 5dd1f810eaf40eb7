#pragma once

#include "options/Options.h"
#include "store/DesktopDateOrder.h"

#include <filesystem>
#include <string>

namespace vorelle {

// The option that names the record store a command works on.
inline constexpr OptionSpec kRecordStoreOption = {
    "--db", "PATH", "the record store (default: QM710.db in the data folder,\n~/.local/share/Vorelle2 or VORELLE2_DATA_DIR)"};

// The record store a command works on: `option` when the command line names
// one; else QM710.db in the working data folder, which is made ready as the
// program makes it ready at start.
std::filesystem::path RecordStorePath(const std::string& option);

}  // namespace vorelle
