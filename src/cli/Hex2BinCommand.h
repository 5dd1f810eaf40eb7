#pragma once

#include <string>
#include <vector>

namespace vorelle {

// `vorelle2-cli hex2bin IN OUT`; `args` are the words after "hex2bin".
// Returns the converter's result code, or kExitUsage.
int RunHex2Bin(const std::vector<std::string>& args);

}  // namespace vorelle
