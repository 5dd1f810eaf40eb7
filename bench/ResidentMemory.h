#pragma once

#include <fstream>
#include <string>

namespace vorelle {

// The process's resident memory in kB, from /proc.
inline long ResidentKilobytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmRSS:"))
            return std::stol(line.substr(6));
    return -1;
}

}  // namespace vorelle
