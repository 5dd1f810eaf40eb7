#pragma once

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace vorelle::test {

struct ProgramRun {
    int status;
    std::string output;
};

// Runs `commandLine` through the shell and collects what it prints on
// standard output (standard error too when `withErrors`).
inline ProgramRun RunProgram(const std::string& commandLine, bool withErrors = false)
{
    const std::string command = commandLine + (withErrors ? " 2>&1" : " 2>/dev/null");
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return {-1, {}};
    std::string output;
    std::array<char, 4096> buffer;
    while (const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), pipe))
        output.append(buffer.data(), got);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

}  // namespace vorelle::test
