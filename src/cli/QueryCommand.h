#pragma once

#include <string>
#include <vector>

namespace vorelle {

// `vorelle2-cli query COLUMN START END [--db PATH] [--json]`: the graph's
// three queries of one column over a time range. `args` are the words after
// "query". Returns the exit status.
int RunQuery(const std::vector<std::string>& args);

}  // namespace vorelle
