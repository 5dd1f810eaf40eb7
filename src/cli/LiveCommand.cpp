#include "cli/LiveCommand.h"

#include "cli/CliConsole.h"
#include "cli/LiveFollow.h"
#include "cli/ReadingOutput.h"
#include "live/LiveExchanges.h"
#include "owner/FrameLine.h"
#include "publish/ReadingJson.h"

#include <cstdio>

namespace vorelle {

namespace {

// The program answers at once, or with its next reading when its latest is
// old, within about 20 s.
constexpr std::chrono::seconds kProgramAnswerWait{30};

void PrintReading(const LiveReadings::Snapshot& reading, bool simulated, bool json)
{
    if (json)
        std::fputs(LiveJson(reading, simulated).c_str(), stdout);
    else
        PrintReadingLines(reading);
}

// The reading of the program that owns the console, when one runs: its
// latest, as its board shows it. Nothing when no program runs.
std::optional<int> LiveFromProgram(bool json)
{
    std::string problem;
    std::optional<FrameLine> line = AskProgram(ProgramConsoleSocket(), frame::Live, problem);
    if (!line) {
        if (problem.empty())
            return std::nullopt;
        std::fprintf(stderr, "vorelle2-cli: %s\n", problem.c_str());
        return kExitFailed;
    }
    Frame answer;
    FrameLine::Heard heard = FrameLine::Heard::Nothing;
    const auto end = std::chrono::steady_clock::now() + kProgramAnswerWait;
    while ((heard = line->Listen(std::chrono::milliseconds(200), answer)) == FrameLine::Heard::Nothing &&
           std::chrono::steady_clock::now() < end) {
    }
    const bool answered = heard == FrameLine::Heard::Frame;
    const std::optional<ServedReading> reading =
        answered && answer.type == frame::Reading ? DecodeReading(answer.payload) : std::nullopt;
    if (!reading) {
        const bool refused = answered && answer.type == frame::Refused;
        std::fprintf(stderr, "vorelle2-cli: %s\n",
                     refused ? RefusalText(answer.payload).c_str() : "the running Vorelle 2 gave no reading.");
        return kExitFailed;
    }
    PrintReading(reading->snapshot, reading->simulated, json);
    return kExitDone;
}

int RunLive(const CommandCall& call)
{
    if (!call.Words().empty())
        return call.WrongLine("unknown option '" + call.Words().front() + "'");
    ConsoleChoice choice;
    if (const std::optional<std::string> problem = ReadConsoleChoice(call.Options(), {}, choice))
        return call.WrongLine(*problem);
    const bool json = call.Options().Has("--json");
    if (call.Options().Has("--follow"))
        return FollowReadings(choice, json);
    if (const std::optional<int> served = LiveFromProgram(json))
        return *served;

    const std::unique_ptr<ConsoleDoor> console = OpenConsole(choice);
    if (!console)
        return kExitFailed;
    ConsoleLink& link = console->Link();
    LiveReadings readings;
    if (!ReadSettings(link, readings) || !ReadLive(link, readings)) {
        std::fprintf(stderr, "vorelle2-cli: %s\n", std::string(kConsoleSilentText).c_str());
        return kExitFailed;
    }
    PrintReading(readings.Current(), console->Kind() == ConsoleKind::Simulated, json);
    return kExitDone;
}

}  // namespace

const CliCommand kLiveCommand = {
    "live",
    "[--simulate [--units T,P,W,R,L] [--channels N]\n[--clock TIME] [--card-days N]] [--follow] [--json]",
    "read the console's current readings once, or follow them",
    "Reads the console's display units and one live record, and prints each\n"
    "quantity with its name and its value exactly as the main window shows it.\n"
    "While Vorelle 2 (or vorelle2-cli serve) runs on this data folder, it owns\n"
    "the console: the reading is its latest, as its board shows it, and\n"
    "--simulate and the options after it are not used.",
    [] {
        std::vector<OptionSpec> options = SimulateOptions("read the built-in simulated console instead of USB");
        options.push_back({"--follow", "",
                           "print every reading as it is taken, about every nine\nseconds, until SIGINT or "
                           "SIGTERM"});
        options.push_back({"--json", "",
                           "print one JSON object: per quantity the raw value in\nconsole units, whether it is "
                           "missing, and the text;\nwith --follow one object a line, with the time it\nwas read "
                           "(UTC)"});
        return options;
    }(),
    "With --follow the readings are those of the running Vorelle 2's poll (no\n"
    "exchange of their own); without one, the command reads the console itself\n"
    "at the same pace. A console that goes away or comes back is told on a line\n"
    "of its own (\"Unconnected\", \"Connected\"), and the stream goes on.",
    {{kExitDone, "with a reading; with --follow, ended by SIGINT or SIGTERM"},
     {kExitFailed, "when no console answered, the running Vorelle 2 could not serve\nthe reading, or it ended "
                   "during --follow"}},
    RunLive,
};

}  // namespace vorelle
