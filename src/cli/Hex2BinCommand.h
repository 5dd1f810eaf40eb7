#pragma once

#include <string>
#include <vector>

namespace vorelle {

// Exit status for a wrong command line; kept apart from the converter's
// result codes, which are the exit status otherwise.
inline constexpr int kExitUsage = 64;

// `vorelle2-cli hex2bin IN OUT`; `args` are the words after "hex2bin".
// Returns the converter's result code, or kExitUsage.
int RunHex2Bin(const std::vector<std::string>& args);

}  // namespace vorelle
