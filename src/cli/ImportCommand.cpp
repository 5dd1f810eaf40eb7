#include "cli/ImportCommand.h"

#include "cli/CommandLine.h"
#include "cli/RecordStoreOptions.h"
#include "recordings/RecordingHistory.h"
#include "recordings/RecordingImport.h"
#include "store/RecordingLayout.h"

#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <tuple>

namespace vorelle {

namespace {

struct ImportOptions {
    std::string file;
    std::string name;
    std::string store;
    bool json = false;
};

const char* LayoutName(RecordingLayout layout)
{
    switch (layout) {
    case RecordingLayout::Channel: return "channel";
    case RecordingLayout::Soil: return "soil moisture";
    case RecordingLayout::Main: break;
    }
    return "main";
}

// A count of the history's, or null when the recording was not merged.
std::string HistoryCount(const std::optional<RecordingMerge>& history, std::uint64_t MergeCounts::*count)
{
    return history ? std::to_string(history->counts.*count) : "null";
}

void PrintSummary(const ImportOptions& options, const std::filesystem::path& store, const ImportResult& result,
                  const std::optional<RecordingMerge>& history)
{
    const ImportSummary& s = result.summary;
    const UnitLabels& u = result.labels;
    const char* layout = LayoutName(LayoutForRecording(options.name));
    if (options.json) {
        std::printf("{\n  \"recording\": %s,\n  \"name\": %s,\n  \"layout\": %s,\n  \"store\": %s,\n",
                    JsonQuoted(options.file).c_str(), JsonQuoted(options.name).c_str(), JsonQuoted(layout).c_str(),
                    JsonQuoted(store.string()).c_str());
        std::printf("  \"linesRead\": %" PRIu64 ",\n  \"rowsStored\": %" PRIu64 ",\n  \"linesRefused\": %" PRIu64
                    ",\n  \"linesHeldBack\": %" PRIu64 ",\n  \"historyAdded\": %s,\n  \"historyChanged\": %s,\n",
                    s.linesRead, s.rowsStored, s.linesRefused, s.linesHeldBack,
                    HistoryCount(history, &MergeCounts::added).c_str(),
                    HistoryCount(history, &MergeCounts::changed).c_str());
        std::printf("  \"units\": {\"temperature\": %s, \"pressure\": %s, \"rain\": %s, \"wind\": %s, \"light\": %s}\n}\n",
                    JsonQuoted(u.temperature).c_str(), JsonQuoted(u.pressure).c_str(), JsonQuoted(u.rain).c_str(),
                    JsonQuoted(u.wind).c_str(), JsonQuoted(u.light).c_str());
        return;
    }
    std::printf("Imported %s as the %s recording %s into %s\n", options.file.c_str(), layout, options.name.c_str(),
                store.string().c_str());
    std::printf("Lines read         %" PRIu64 "\nRows stored        %" PRIu64 "\nLines refused      %" PRIu64
                "\nLines held back    %" PRIu64 "\n",
                s.linesRead, s.rowsStored, s.linesRefused, s.linesHeldBack);
    if (history)
        std::printf("History added      %" PRIu64 "\nHistory changed    %" PRIu64 "\n", history->counts.added,
                    history->counts.changed);
    std::printf("Temperature unit   %s\nPressure unit      %s\nRain unit          %s\nWind unit          %s\n"
                "Light unit         %s\n",
                u.temperature.c_str(), u.pressure.c_str(), u.rain.c_str(), u.wind.c_str(), u.light.c_str());
}

int RunImport(const CommandCall& call)
{
    const std::vector<std::string>& words = call.Words();
    if (words.size() != 1)
        return call.WrongLine(words.empty() ? "expected a recording file" : "expected one recording file");
    const OptionValues& given = call.Options();
    const ImportOptions options{words[0],
                                given.Has("--name") ? given.Value("--name")
                                                    : std::filesystem::path(words[0]).filename().string(),
                                given.Value("--db"), given.Has("--json")};
    std::error_code missing;
    if (!std::filesystem::is_regular_file(options.file, missing)) {
        std::fprintf(stderr, "vorelle2-cli import: %s: no such recording file\n", options.file.c_str());
        return kExitFailed;
    }
    const std::filesystem::path store = RecordStorePath(options.store);
    StandardErrorMessages messages;
    ImportResult result = ImportRecording({options.file, options.name, store, DesktopDateOrder()}, messages);
    if (result.status != ImportStatus::Imported) {
        std::fprintf(stderr, "vorelle2-cli import: nothing imported into %s\n", store.string().c_str());
        return kExitFailed;
    }
    // The content is not shown here: its memory goes before the merge takes its own.
    std::ignore = RecordingContent(std::move(result.content));
    const std::optional<RecordingMerge> history =
        MergeImportedRecording(store, options.file, options.name, MergedFile::Other, DesktopDateOrder(), messages);
    PrintSummary(options, store, result, history);
    return kExitDone;
}

}  // namespace

const CliCommand kImportCommand = {
    "import",
    "FILE [--name NAME] [--db PATH] [--json]",
    "import a recording into the record store",
    "Imports the recording FILE into the record store in place of the recording\n"
    "held there: all of its readings or, after any failure, none. Prints how many\n"
    "lines were read, how many became rows, how many were refused (a time that\n"
    "cannot be read) and whether the last line was held back (it has no line end\n"
    "yet: the console may still be writing it), and the recording's five unit\n"
    "labels.",
    {
        {"--name", "NAME",
         "the recording's name on the console (default: FILE's own\nname). \"CH\" in it marks a channel "
         "recording, else \"SM\" a\nsoil-moisture recording; any other name, the main recording"},
        kRecordStoreOption,
        {"--json", "", "print one JSON object"},
    },
    "Times are read as the recording writes them, without any time zone. Dates\n"
    "written year first (2024-03-31) are read as they are; dates written year\n"
    "last are read day or month first as the locale's date format (LC_TIME) has\n"
    "it.",
    {{kExitDone, "imported"},
     {kExitFailed, "the recording or the store could not be read or written (the\nstore is unchanged)"}},
    RunImport,
};

}  // namespace vorelle
