#pragma once

#include "support/RunProgram.h"

#include <string>

namespace vorelle::test {

using CliRun = ProgramRun;

// Runs vorelle2-cli with `arguments` (words for the shell, quoted as needed)
// and collects what it prints on standard output (standard error too when
// `withErrors`). `environment` is put before the command, e.g. "LC_ALL=C".
inline CliRun RunCli(const std::string& arguments, bool withErrors = false, const std::string& environment = {})
{
    return RunProgram((environment.empty() ? "" : "env " + environment + " ") + std::string(VORELLE2_CLI) + " " +
                          arguments,
                      withErrors);
}

}  // namespace vorelle::test
