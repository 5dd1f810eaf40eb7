#include "cli/CliCommand.h"

#include <algorithm>
#include <cstdio>

namespace vorelle {

namespace {

constexpr OptionSpec kHelpOption = {"-h, --help", "", "show this help and exit"};
constexpr OptionSpec kProgramOptions[] = {kHelpOption, {"-V, --version", "", "show the version and exit"}};
constexpr std::size_t kListColumn = 18;

// `text` with every line after the first indented by `indent`.
std::string Indented(std::string_view text, std::size_t indent)
{
    std::string out;
    for (const char c : text) {
        out += c;
        if (c == '\n')
            out.append(indent, ' ');
    }
    return out;
}

std::string ExitLine(const ExitMeaning& exit)
{
    std::string status = "  " + std::to_string(exit.status);
    status.resize(6, ' ');
    return status + Indented(exit.meaning, 6) + "\n";
}

// A command's statuses, then those every command shares (a wrong command line,
// lost output) that it does not explain itself.
std::string ExitLines(std::span<const ExitMeaning> own)
{
    std::string lines;
    for (const ExitMeaning& exit : own)
        lines += ExitLine(exit);
    for (const int shared : {kExitUsage, kExitOutputLost}) {
        const auto mine = [shared](const ExitMeaning& exit) { return exit.status == shared; };
        if (std::none_of(own.begin(), own.end(), mine))
            lines += ExitLine(*std::find_if(std::begin(kExitMeanings), std::end(kExitMeanings), mine));
    }
    return lines;
}

std::vector<OptionSpec> SpecsOf(const CliCommand& command)
{
    std::vector<OptionSpec> specs = command.options;
    specs.push_back(kHelpOption);
    return specs;
}

std::string CommandUsage(const CliCommand& command)
{
    const std::string start = "Usage: vorelle2-cli " + std::string(command.name) + " ";
    const std::vector<OptionSpec> specs = SpecsOf(command);
    std::string usage = start + Indented(command.synopsis, start.size()) + "\n\n" + std::string(command.about) +
                        "\n\n" + OptionLines(specs, HelpColumn(specs));
    if (!command.notes.empty())
        usage += "\n" + std::string(command.notes) + "\n";
    return usage + "\nExit status:\n" + ExitLines(command.exits);
}

std::string ProgramUsage(std::span<const CliCommand* const> commands)
{
    std::string usage = "Usage: vorelle2-cli COMMAND [OPTIONS]\n\nCommands:\n";
    for (const CliCommand* command : commands) {
        std::string line = "  " + std::string(command->name);
        line.resize(kListColumn, ' ');
        usage += line + std::string(command->summary) + "\n";
    }
    return usage + "\nOptions:\n" + OptionLines(kProgramOptions, kListColumn) +
           "\nRun 'vorelle2-cli COMMAND --help' for the options of one command.\n\nExit status:\n" +
           ExitLines(kExitMeanings) +
           "hex2bin answers with its converter's result code instead; each command's\n--help says what each "
           "status means for it.\n";
}

}  // namespace

int CommandCall::WrongLine(std::string_view problem) const
{
    Say(problem);
    std::fprintf(stderr, "\n%s", CommandUsage(command_).c_str());
    return kExitUsage;
}

void CommandCall::Say(std::string_view text) const
{
    std::fprintf(stderr, "vorelle2-cli %.*s: %.*s\n", static_cast<int>(command_.name.size()), command_.name.data(),
                 static_cast<int>(text.size()), text.data());
}

int RunCommandLine(std::span<const CliCommand* const> commands, const std::vector<std::string>& args)
{
    if (args.empty()) {
        std::fputs(ProgramUsage(commands).c_str(), stderr);
        return kExitUsage;
    }
    const std::string& name = args.front();
    if (name == "-h" || name == "--help") {
        std::fputs(ProgramUsage(commands).c_str(), stdout);
        return kExitDone;
    }
    if (name == "-V" || name == "--version") {
        std::printf("vorelle2-cli %s\n", VORELLE2_VERSION);
        return kExitDone;
    }
    for (const CliCommand* command : commands) {
        if (command->name != name)
            continue;
        const std::vector<OptionSpec> specs = SpecsOf(*command);
        OptionValues options;
        const CommandCall call(*command, options);
        if (const std::optional<std::string> problem =
                ReadOptions(std::span(args).subspan(1), specs, options))
            return call.WrongLine(*problem);
        if (options.Has("--help")) {
            std::fputs(CommandUsage(*command).c_str(), stdout);
            return kExitDone;
        }
        return command->run(call);
    }
    std::fprintf(stderr, "vorelle2-cli: unknown command '%s'\n\n%s", name.c_str(), ProgramUsage(commands).c_str());
    return kExitUsage;
}

}  // namespace vorelle
