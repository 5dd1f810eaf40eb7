#pragma once

#include <string>
#include <vector>

namespace vorelle {

// `vorelle2-cli firmware (FILE.hex | --download) [--simulate] [--yes]`;
// `args` are the words after "firmware". Returns the exit status.
int RunFirmware(const std::vector<std::string>& args);

}  // namespace vorelle
