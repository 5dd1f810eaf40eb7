#pragma once

#include "console/ConsoleDoor.h"
#include "options/Options.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorelle {

// --simulate, as `help` says what it does for the command, followed by the
// options that set the simulated console up.
std::vector<OptionSpec> SimulateOptions(std::string_view help);

// The console the command line chooses: over USB, or with --simulate the
// simulated console, set up as `station` says unless the command line says
// otherwise. What is wrong with the line, if anything.
std::optional<std::string> ReadConsoleChoice(const OptionValues& options, StationOptions station,
                                             ConsoleChoice& choice);

// The chosen console, opened; when there is none that can be opened, says
// why on standard error and returns null. The simulated console's cable
// reaches the link at once, as device notifications do in the program.
std::unique_ptr<ConsoleDoor> OpenConsole(const ConsoleChoice& choice);

// Said when the console took a command but did not answer it.
inline constexpr std::string_view kConsoleSilentText =
    "the console did not answer. Unplug it, plug it in again and retry.";

}  // namespace vorelle
