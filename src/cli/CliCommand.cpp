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

// A line per command, its name (without its first `skip` characters) and its
// summary.
std::string CommandList(std::span<const CliCommand* const> commands, std::size_t skip)
{
    std::string list;
    for (const CliCommand* command : commands) {
        std::string line = "  " + std::string(command->name.substr(skip));
        line.resize(kListColumn, ' ');
        list += line + std::string(command->summary) + "\n";
    }
    return list;
}

std::string CommandUsage(const CliCommand& command)
{
    const std::string start = "Usage: vorelle2-cli " + std::string(command.name) + " ";
    const std::vector<OptionSpec> specs = SpecsOf(command);
    std::string usage = start + Indented(command.synopsis, start.size()) + "\n\n" + std::string(command.about) +
                        "\n\n";
    if (!command.subcommands.empty())
        usage += "Commands:\n" + CommandList(command.subcommands, command.name.size() + 1) + "\n";
    usage += OptionLines(specs, HelpColumn(specs));
    if (!command.notes.empty())
        usage += "\n" + std::string(command.notes) + "\n";
    return usage + "\nExit status:\n" + ExitLines(command.exits);
}

std::string ProgramUsage(std::span<const CliCommand* const> commands)
{
    return "Usage: vorelle2-cli COMMAND [OPTIONS]\n\nCommands:\n" + CommandList(commands, 0) + "\nOptions:\n" +
           OptionLines(kProgramOptions, kListColumn) +
           "\nRun 'vorelle2-cli COMMAND --help' for the options of one command.\n\nExit status:\n" +
           ExitLines(kExitMeanings) +
           "hex2bin answers with its converter's result code instead; each command's\n--help says what each "
           "status means for it.\n";
}

int RunCommand(const CliCommand& command, std::span<const std::string> args);

// A command of several: the one its first word names.
int RunSubcommand(const CliCommand& command, std::span<const std::string> args)
{
    const OptionValues none{};
    const CommandCall call(command, none);
    if (args.empty()) {
        std::string names;
        for (const CliCommand* sub : command.subcommands)
            names += (names.empty() ? "" : ", ") + std::string(sub->name.substr(command.name.size() + 1));
        return call.WrongLine("expected one of: " + names);
    }
    if (args.front() == "-h" || args.front() == "--help") {
        std::fputs(CommandUsage(command).c_str(), stdout);
        return kExitDone;
    }
    for (const CliCommand* sub : command.subcommands) {
        if (sub->name == std::string(command.name) + " " + args.front())
            return RunCommand(*sub, args.subspan(1));
    }
    return call.WrongLine("unknown command '" + args.front() + "'");
}

int RunCommand(const CliCommand& command, std::span<const std::string> args)
{
    if (!command.subcommands.empty())
        return RunSubcommand(command, args);
    const std::vector<OptionSpec> specs = SpecsOf(command);
    OptionValues options;
    const CommandCall call(command, options);
    if (const std::optional<std::string> problem = ReadOptions(args, specs, options))
        return call.WrongLine(*problem);
    if (options.Has("--help")) {
        std::fputs(CommandUsage(command).c_str(), stdout);
        return kExitDone;
    }
    return command.run(call);
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
        if (command->name == name)
            return RunCommand(*command, std::span(args).subspan(1));
    }
    std::fprintf(stderr, "vorelle2-cli: unknown command '%s'\n\n%s", name.c_str(), ProgramUsage(commands).c_str());
    return kExitUsage;
}

}  // namespace vorelle
