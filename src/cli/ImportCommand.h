#pragma once

#include <string>
#include <vector>

namespace vorelle {

// `vorelle2-cli import FILE [--name NAME] [--db PATH] [--json]`: replaces the
// record store's recording with FILE's readings. `args` are the words after
// "import". Returns the exit status.
int RunImport(const std::vector<std::string>& args);

}  // namespace vorelle
