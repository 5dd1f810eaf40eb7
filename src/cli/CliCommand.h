#pragma once

#include "cli/ExitStatus.h"
#include "options/Options.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vorelle {

class CommandCall;

// One command of vorelle2-cli: what its --help says and what runs it.
struct CliCommand {
    std::string_view name;
    std::string_view synopsis;  // its usage line after its name (further lines after a line feed)
    std::string_view summary;   // its line in the list of commands
    std::string_view about;     // what it does: its --help before the options
    std::vector<OptionSpec> options;  // every command answers -h, --help besides
    std::string_view notes;     // its --help after the options, when there is more to say
    std::vector<ExitMeaning> exits;   // every command shares the statuses 64 and 74 besides
    int (*run)(const CommandCall& call);
    // A command of several (`history query ...`): the word after its name
    // chooses one of these, each named by both words, with its own options,
    // statuses and handler; `run` is then never called.
    std::span<const CliCommand* const> subcommands = {};
};

// One run of a command: its command line read against its options.
class CommandCall {
public:
    CommandCall(const CliCommand& command, const OptionValues& options) : command_(command), options_(options) {}

    const OptionValues& Options() const { return options_; }
    const std::vector<std::string>& Words() const { return options_.Words(); }

    // Says on standard error what is wrong with the command line, then the
    // command's usage; returns kExitUsage.
    int WrongLine(std::string_view problem) const;
    // Says on standard error "vorelle2-cli NAME: `text`".
    void Say(std::string_view text) const;

private:
    const CliCommand& command_;
    const OptionValues& options_;
};

// Runs the command line `args` (the program's name left out) with the command
// it names.
int RunCommandLine(std::span<const CliCommand* const> commands, const std::vector<std::string>& args);

}  // namespace vorelle
