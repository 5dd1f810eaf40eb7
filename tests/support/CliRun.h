#pragma once

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace vorelle::test {

struct CliRun {
    int status;
    std::string output;
};

// Runs vorelle2-cli with `arguments` and collects what it prints on standard
// output (standard error too when `withErrors`). `environment` goes before
// the command, e.g. "VORELLE2_DATA_DIR=/tmp/x".
inline CliRun RunCli(const std::string& arguments, bool withErrors = false, const std::string& environment = "")
{
    const std::string command = environment + (environment.empty() ? "" : " ") + std::string(VORELLE2_CLI) + " " +
                                arguments + (withErrors ? " 2>&1" : " 2>/dev/null");
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
