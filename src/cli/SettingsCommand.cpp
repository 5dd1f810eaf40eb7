#include "cli/SettingsCommand.h"

#include "cli/CliConsole.h"
#include "cli/CommandLine.h"
#include "settings/SettingsByKey.h"

#include <algorithm>
#include <cstdio>

namespace vorelle {

namespace {

constexpr std::size_t kKeysColumn = 15;
constexpr std::size_t kKeysWidth = 78;

struct SettingsRequest {
    bool set = false;
    StationBlockName block{};
    SettingsChange change;
    ConsoleChoice console;
};

// The keys of every block, wrapped, for --help.
std::string KeysHelp()
{
    std::string help =
        "Keys, as show prints them and set takes them (a list takes one of its rows\n"
        "as show prints it, a switch takes on or off; KEY[-on] is an alarm's\n"
        "threshold and its switch; outdoor-sensor, frequency and the max-min keys\n"
        "are only shown):";
    for (const StationBlockName& block : kStationBlocks) {
        std::string line = "\n  " + std::string(block.name);
        const std::vector<SettingKey> keys = SettingKeys(block.block);
        for (std::size_t i = 0; i < keys.size(); ++i) {
            std::string word = keys[i].key;
            if (i + 1 < keys.size() && keys[i + 1].key == word + "-on") {
                word += "[-on]";
                ++i;
            }
            if (i + 1 < keys.size())
                word += ",";
            if (line.size() + 1 + word.size() > kKeysWidth) {
                help += line;
                line = "\n";
            }
            line.resize(std::max(line.size() + 1, kKeysColumn + 1), ' ');
            line += word;
        }
        help += line;
    }
    return help;
}

const std::string kKeysHelp = KeysHelp();

// What the command line asks for; what is wrong with it, if anything.
std::optional<std::string> ReadSettingsRequest(const CommandCall& call, SettingsRequest& request)
{
    if (std::optional<std::string> problem = ReadConsoleChoice(call.Options(), {}, request.console))
        return problem;
    const std::vector<std::string>& words = call.Words();
    if (words.size() < 2)
        return std::string("say show BLOCK or set BLOCK KEY=VALUE...");
    if (words[0] != "show" && words[0] != "set")
        return "unknown action '" + words[0] + "'";
    request.set = words[0] == "set";
    const auto block = std::find_if(std::begin(kStationBlocks), std::end(kStationBlocks),
                                    [&](const StationBlockName& b) { return b.name == words[1]; });
    if (block == std::end(kStationBlocks) || (request.set && !block->settable))
        return request.set ? "set takes basic, alarm, calibration or rain" : "show takes basic, alarm, calibration, "
                                                                             "rain or max-min";
    request.block = *block;
    if (!request.set)
        return words.size() == 2 ? std::nullopt : std::optional<std::string>("show takes no KEY=VALUE");
    if (call.Options().Has("--json"))
        return std::string("--json goes with show");
    if (words.size() == 2)
        return std::string("set takes one KEY=VALUE or more");
    for (auto word = words.begin() + 2; word != words.end(); ++word) {
        const std::size_t equals = word->find('=');
        if (equals == std::string::npos || equals == 0)
            return "'" + *word + "' is not KEY=VALUE";
        request.change.emplace_back(word->substr(0, equals), word->substr(equals + 1));
    }
    return std::nullopt;
}

void PrintSettings(const std::vector<ShownSetting>& shown)
{
    std::size_t width = 0;
    for (const ShownSetting& setting : shown)
        width = std::max(width, setting.key.size());
    for (const ShownSetting& setting : shown) {
        std::string line = setting.key;
        line.resize(width + 2, ' ');
        line += setting.text + (setting.unit.empty() ? "" : " " + setting.unit);
        line.erase(line.find_last_not_of(' ') + 1);
        std::printf("%s\n", line.c_str());
    }
}

void PrintSettingsJson(const std::vector<ShownSetting>& shown, std::string_view block, bool simulated)
{
    std::printf("{\n  \"console\": \"%s\",\n  \"block\": %s,\n  \"settings\": {", simulated ? "simulated" : "usb",
                JsonQuoted(block).c_str());
    const char* separator = "\n";
    for (const ShownSetting& setting : shown) {
        std::printf("%s    %s: %s", separator, JsonQuoted(setting.key).c_str(), JsonQuoted(setting.text).c_str());
        separator = ",\n";
    }
    std::printf("\n  },\n  \"units\": {");
    separator = "\n";
    for (const ShownSetting& setting : shown) {
        if (setting.unit.empty())
            continue;
        std::printf("%s    %s: %s", separator, JsonQuoted(setting.key).c_str(), JsonQuoted(setting.unit).c_str());
        separator = ",\n";
    }
    std::printf("%s}\n}\n", *separator == '\n' ? "" : "\n  ");
}

int RunSettings(const CommandCall& call)
{
    SettingsRequest request;
    if (const std::optional<std::string> problem = ReadSettingsRequest(call, request))
        return call.WrongLine(*problem);
    if (const std::optional<ChangeProblem> problem = CheckSettingsChange(request.block.block, request.change)) {
        if (problem->wrongKey)
            return call.WrongLine(problem->message);
        call.Say(problem->message);
        return kExitRefused;
    }

    const std::unique_ptr<ConsoleDoor> console = OpenConsole(request.console);
    if (!console)
        return kExitFailed;
    const std::optional<StationBlockRead> read = ReadStationBlock(console->Link(), request.block.block);
    if (!read) {
        std::fprintf(stderr, "vorelle2-cli: %s\n", std::string(kConsoleSilentText).c_str());
        return kExitFailed;
    }
    if (!request.set) {
        const std::vector<ShownSetting> shown = ShowStationBlock(*read);
        if (call.Options().Has("--json"))
            PrintSettingsJson(shown, request.block.name, console->Kind() == ConsoleKind::Simulated);
        else
            PrintSettings(shown);
        return kExitDone;
    }
    const SaveOutcome outcome = SaveSettingsChange(console->Link(), *read, request.change);
    switch (outcome.status) {
    case SaveStatus::Done:
        std::printf("%s\n", outcome.message.c_str());
        return kExitDone;
    case SaveStatus::InvalidInput:
        call.Say(outcome.message);
        return kExitRefused;
    default:
        call.Say(outcome.message);
        return kExitFailed;
    }
}

}  // namespace

const CliCommand kSettingsCommand = {
    "settings",
    "show basic|alarm|calibration|rain|max-min [--json]\n"
    "set basic|alarm|calibration|rain KEY=VALUE...\n"
    "[--simulate [--units T,P,W,R,L] [--channels N]\n"
    "[--clock TIME] [--card-days N]]",
    "read or change the console's settings as its dialogs do",
    "show reads a settings block from the console (with its display units, and\n"
    "the latest reading where the dialog needs it) and prints each setting as\n"
    "the block's dialog shows it: the same texts, in the console's display\n"
    "units. set reads the block, puts each VALUE into the field of its KEY and\n"
    "saves as the dialog's Save does: the same checks and messages, then the\n"
    "screen check and the write. A setting not named keeps the console's value,\n"
    "as a field left as shown does.",
    [] {
        std::vector<OptionSpec> options = SimulateOptions("use the built-in simulated console instead of USB");
        options.push_back({"--json", "", "with show: print one JSON object, the settings' texts\nand units by key"});
        return options;
    }(),
    kKeysHelp,
    {{kExitDone, "shown, or saved: the console was on its main screen and took\nthe write (\"Save Success\")"},
     {kExitFailed, "no console, or it did not answer, was not on its main screen,\nor went away"},
     {kExitRefused, "a value refused with the dialog's message, or one no dialog\ncould give; nothing was written"}},
    RunSettings,
};

}  // namespace vorelle
