#pragma once

#include <string>
#include <vector>

namespace vorelle {

// `vorelle2-cli recordings list|fetch NAME|delete NAME`: the recording files
// of the console's SD card. `args` are the words after "recordings". Returns
// the exit status.
int RunRecordings(const std::vector<std::string>& args);

}  // namespace vorelle
