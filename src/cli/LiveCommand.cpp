#include "cli/LiveCommand.h"

#include "board/BoardTexts.h"
#include "cli/CliConsole.h"
#include "cli/Hex2BinCommand.h"
#include "cli/JsonText.h"
#include "live/LiveExchanges.h"

#include <cstdio>
#include <sstream>

namespace vorelle {

namespace {

constexpr const char* kLiveUsage =
    "Usage: vorelle2-cli live [--simulate [--units T,P,W,R,L] [--channels N]] [--json]\n"
    "\n"
    "Reads the console's display units and one live record, and prints each\n"
    "quantity with its name and its value exactly as the main window shows it.\n"
    "\n"
    "  --simulate          read the built-in simulated console instead of USB\n"
    "  --units T,P,W,R,L   the simulated console's unit codes (temperature,\n"
    "                      pressure, wind, rain, light), e.g. 1,0,2,1,1\n"
    "  --channels N        the simulated console's extra channels, 0 to 8\n"
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
    UnitCodes simulatedUnits{0, 2, 0, 0, 0};
    int simulatedChannels = 0;
};

bool ParseUnitCodes(const std::string& text, UnitCodes& units)
{
    std::istringstream in(text);
    int codes[5];
    char comma = ',';
    for (int i = 0; i < 5; ++i) {
        if ((i > 0 && (!(in >> comma) || comma != ',')) || !(in >> codes[i]) || codes[i] < 0 || codes[i] > 255)
            return false;
    }
    if (in >> comma)
        return false;
    units = {static_cast<std::uint8_t>(codes[0]), static_cast<std::uint8_t>(codes[1]),
             static_cast<std::uint8_t>(codes[2]), static_cast<std::uint8_t>(codes[3]),
             static_cast<std::uint8_t>(codes[4])};
    return true;
}

bool ParseOptions(const std::vector<std::string>& args, LiveOptions& options, std::string& error)
{
    bool simulationOnly = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--simulate") {
            options.simulate = true;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg == "--units" && hasValue) {
            if (!ParseUnitCodes(args[++i], options.simulatedUnits)) {
                error = "--units takes five codes 0 to 255 separated by commas, e.g. 1,0,2,1,1";
                return false;
            }
            simulationOnly = true;
        } else if (arg == "--channels" && hasValue) {
            const std::string& value = args[++i];
            if (value.size() != 1 || value[0] < '0' || value[0] > '8') {
                error = "--channels takes a number from 0 to 8";
                return false;
            }
            options.simulatedChannels = value[0] - '0';
            simulationOnly = true;
        } else {
            error = "unknown option '" + arg + "'";
            return false;
        }
    }
    if (simulationOnly && !options.simulate) {
        error = "--units and --channels set up the simulated console; add --simulate";
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
        std::fprintf(stderr, "vorelle2-cli live: %s\n\n%s", error.c_str(), kLiveUsage);
        return kExitUsage;
    }
    if (options.help) {
        std::fputs(kLiveUsage, stdout);
        return 0;
    }

    CliConsole console(options.simulate, [&](SimulatedConsole& simulated) {
        const UnitCodes& u = options.simulatedUnits;
        simulated.SetUnitCodes(u.temperature, u.pressure, u.wind, u.rain, u.light);
        simulated.Weather().SetChannelCount(options.simulatedChannels);
    });
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
