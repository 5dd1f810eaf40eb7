#include "cli/LiveCommand.h"

#include "board/BoardTexts.h"
#include "cli/CliConsole.h"
#include "cli/CommandLine.h"
#include "live/LiveExchanges.h"

#include <cstdio>

namespace vorelle {

namespace {

void PrintJson(const LiveReadings::Snapshot& snapshot, bool simulated)
{
    const UnitCodes& u = snapshot.values.units;
    std::printf("{\n  \"console\": \"%s\",\n", simulated ? "simulated" : "usb");
    std::printf("  \"units\": {\"temperature\": %d, \"pressure\": %d, \"wind\": %d, \"rain\": %d, \"light\": %d},\n",
                u.temperature, u.pressure, u.wind, u.rain, u.light);
    std::printf("  \"quantities\": {");
    const char* separator = "\n";
    for (const QuantityReading& q : QuantityReadings(snapshot)) {
        std::printf("%s    %s: {\"name\": %s, \"raw\": %d, \"missing\": %s, \"text\": %s}", separator,
                    JsonString(q.key).c_str(), JsonString(q.name).c_str(), q.raw, q.missing ? "true" : "false",
                    JsonString(q.text).c_str());
        separator = ",\n";
    }
    std::printf("\n  }\n}\n");
}

void PrintLines(const LiveReadings::Snapshot& snapshot)
{
    std::size_t width = 0;
    const std::vector<QuantityReading> quantities = QuantityReadings(snapshot);
    for (const QuantityReading& q : quantities)
        width = std::max(width, q.name.size());
    for (const QuantityReading& q : quantities)
        std::printf("%-*s  %s\n", static_cast<int>(width), q.name.c_str(), q.text.c_str());
}

int RunLive(const CommandCall& call)
{
    if (!call.Words().empty())
        return call.WrongLine("unknown option '" + call.Words().front() + "'");
    ConsoleChoice choice;
    if (const std::optional<std::string> problem = ReadConsoleChoice(call.Options(), {}, choice))
        return call.WrongLine(*problem);

    const std::unique_ptr<ConsoleDoor> console = OpenConsole(choice);
    if (!console)
        return kExitFailed;
    ConsoleLink& link = console->Link();
    LiveReadings readings;
    if (!ReadSettings(link, readings) || !ReadLive(link, readings)) {
        std::fprintf(stderr, "vorelle2-cli: %s\n", std::string(kConsoleSilentText).c_str());
        return kExitFailed;
    }
    if (call.Options().Has("--json"))
        PrintJson(readings.Current(), choice.kind == ConsoleKind::Simulated);
    else
        PrintLines(readings.Current());
    return kExitDone;
}

}  // namespace

const CliCommand kLiveCommand = {
    "live",
    "[--simulate [--units T,P,W,R,L] [--channels N]\n[--clock TIME]] [--json]",
    "read the console's current readings once",
    "Reads the console's display units and one live record, and prints each\n"
    "quantity with its name and its value exactly as the main window shows it.",
    [] {
        std::vector<OptionSpec> options = SimulateOptions("read the built-in simulated console instead of USB");
        options.push_back({"--json", "",
                           "print one JSON object: per quantity the raw value in\nconsole units, whether it is "
                           "missing, and the text"});
        return options;
    }(),
    {},
    {{kExitDone, "with a reading"}, {kExitFailed, "when no console answered"}},
    RunLive,
};

}  // namespace vorelle
