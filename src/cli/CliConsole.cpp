#include "cli/CliConsole.h"

#include "console/ProgramDoor.h"
#include "owner/ConsoleServer.h"
#include "owner/InstanceChannel.h"

#include <cstdio>

namespace vorelle {

std::vector<OptionSpec> SimulateOptions(std::string_view help)
{
    std::vector<OptionSpec> options = {{"--simulate", "", help}};
    options.insert(options.end(), kStationOptions.begin(), kStationOptions.end());
    return options;
}

std::optional<std::string> ReadConsoleChoice(const OptionValues& options, StationOptions station,
                                             ConsoleChoice& choice)
{
    if (std::optional<std::string> problem = ReadStationOptions(options, station))
        return problem;
    const bool simulate = options.Has("--simulate");
    if (StationOptionsGiven(options) && !simulate)
        return "--units, --channels, --clock and --card-days set up the simulated console; add --simulate";
    choice = {simulate ? ConsoleKind::Simulated : ConsoleKind::Usb, station};
    return std::nullopt;
}

std::string ProgramConsoleSocket() { return InstanceChannel::ConsoleSocket(InstanceChannel::Key()); }

void SayWhyNoConsole(const ConsoleLink& link)
{
    if (const std::optional<OpenProblem> problem = link.Link().LastOpenProblem()) {
        std::fprintf(stderr, "vorelle2-cli: %s\n", DescribeOpenProblem(*problem).c_str());
        return;
    }
    std::fprintf(stderr,
                 "vorelle2-cli: no console found (USB 0483:5750). Is it plugged in, and may this user open its "
                 "hidraw device? Try --simulate to see the simulated console.\n");
}

std::unique_ptr<ConsoleDoor> OpenConsole(const ConsoleChoice& choice)
{
    // While a program owns the console, the command borrows it from there.
    BorrowedConsole borrowed = BorrowProgramConsole(ProgramConsoleSocket());
    if (!borrowed.refusal.empty()) {
        std::fprintf(stderr, "vorelle2-cli: %s\n", borrowed.refusal.c_str());
        return nullptr;
    }
    std::unique_ptr<ConsoleDoor> console = borrowed.programRuns ? std::move(borrowed.door) : MakeConsoleDoor(choice);
    ConsoleLink& link = console->Link();
    if (link.Open())
        return console;
    if (borrowed.programRuns)
        std::fprintf(stderr, "vorelle2-cli: %s\n", std::string(kNotConnectedText).c_str());
    else
        SayWhyNoConsole(link);
    return nullptr;
}

}  // namespace vorelle
