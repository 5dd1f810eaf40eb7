#include "cli/LiveCommand.h"

#include "board/BoardTexts.h"
#include "cli/CliConsole.h"
#include "cli/CommandLine.h"
#include "live/LiveExchanges.h"
#include "sim/SimStationOptions.h"

#include <cstdio>

namespace vorelle {

namespace {

constexpr const char* kLiveUsage =
    "Usage: vorelle2-cli live [--simulate [--units T,P,W,R,L] [--channels N] [--clock TIME]] [--json]\n"
    "\n"
    "Reads the console's display units and one live record, and prints each\n"
    "quantity with its name and its value exactly as the main window shows it.\n"
    "\n"
    "  --simulate          read the built-in simulated console instead of USB\n"
    "%s"
    "  --json              print one JSON object: per quantity the raw value in\n"
    "                      console units, whether it is missing, and the text\n"
    "  -h, --help          show this help and exit\n"
    "\n"
    "Exit status: 0 with a reading, 1 when no console answered, 64 for a wrong\n"
    "command line.\n";

struct LiveOptions {
    bool simulate = false;
    bool json = false;
    bool help = false;
    SimStationOptions station;
};

void PrintLiveUsage(std::FILE* to) { std::fprintf(to, kLiveUsage, kStationOptionsUsage); }

bool ParseOptions(const std::vector<std::string>& args, LiveOptions& options, std::string& error)
{
    bool simulationOnly = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        switch (TakeStationOption(args, i, options.station, error)) {
        case OptionMatch::Taken:
            simulationOnly = true;
            continue;
        case OptionMatch::Invalid:
            return false;
        case OptionMatch::NotOurs:
            break;
        }
        if (arg == "--simulate") {
            options.simulate = true;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else {
            error = "unknown option '" + arg + "'";
            return false;
        }
    }
    if (simulationOnly && !options.simulate) {
        error = "--units, --channels and --clock set up the simulated console; add --simulate";
        return false;
    }
    return true;
}

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

}  // namespace

int RunLive(const std::vector<std::string>& args)
{
    LiveOptions options;
    std::string error;
    if (!ParseOptions(args, options, error)) {
        std::fprintf(stderr, "vorelle2-cli live: %s\n\n", error.c_str());
        PrintLiveUsage(stderr);
        return kExitUsage;
    }
    if (options.help) {
        PrintLiveUsage(stdout);
        return 0;
    }

    CliConsole console(options.simulate);
    if (SimulatedConsole* simulated = console.Simulated())
        ApplyStationOptions(options.station, *simulated);
    if (!console.Open())
        return 1;
    ConsoleLink& link = console.Link();
    LiveReadings readings;
    if (!ReadSettings(link, readings) || !ReadLive(link, readings)) {
        std::fprintf(stderr, "vorelle2-cli: the console did not answer. Unplug it, plug it in again and retry.\n");
        return 1;
    }
    if (options.json)
        PrintJson(readings.Current(), options.simulate);
    else
        PrintLines(readings.Current());
    return 0;
}

}  // namespace vorelle
