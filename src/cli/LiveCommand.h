#pragma once

#include <string>
#include <vector>

namespace vorelle {

// `vorelle2-cli live`: one reading of the console, as the board shows it.
// `args` are the words after "live". Returns the exit status.
int RunLive(const std::vector<std::string>& args);

}  // namespace vorelle
