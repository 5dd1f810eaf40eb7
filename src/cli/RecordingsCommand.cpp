#include "cli/RecordingsCommand.h"

#include "cli/CliConsole.h"
#include "cli/CommandLine.h"
#include "cli/RecordStoreOptions.h"
#include "recordings/RecordingCard.h"
#include "recordings/RecordingExport.h"
#include "recordings/RecordingMessages.h"
#include "recordings/RecordingNames.h"
#include "store/DataFolder.h"

#include <unistd.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <filesystem>

namespace vorelle {

namespace {

enum class Action { List, Fetch, Delete };

struct RecordingsOptions {
    Action action = Action::List;
    std::string name;
    bool json = false;
    ConsoleChoice console;
};

// What the command line asks for; what is wrong with it, if anything.
std::optional<std::string> ReadRecordingsOptions(const CommandCall& call, RecordingsOptions& options)
{
    options.json = call.Options().Has("--json");
    // The station as the program shows it, with the extra channels and the
    // rest that the command line sets up.
    if (std::optional<std::string> problem = ReadConsoleChoice(call.Options(), ProgramStation(), options.console))
        return problem;
    const std::vector<std::string>& words = call.Words();
    if (words.empty())
        return "say list, fetch NAME or delete NAME";
    const std::string& action = words.front();
    if (action == "list")
        options.action = Action::List;
    else if (action == "fetch")
        options.action = Action::Fetch;
    else if (action == "delete")
        options.action = Action::Delete;
    else
        return "unknown action '" + action + "'";
    if (options.action == Action::List)
        return words.size() == 1 ? std::nullopt : std::optional<std::string>("list takes no name");
    if (words.size() != 2)
        return action + " takes one NAME";
    options.name = words[1];
    return std::nullopt;
}

bool ErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

int PrintList(std::vector<RecordingEntry> files, bool json)
{
    SortNewestFirst(files);
    if (json) {
        std::printf("{\n  \"files\": [");
        const char* separator = "\n";
        for (const RecordingEntry& file : files) {
            std::printf("%s    {\"name\": %s, \"size\": %" PRIu32 ", \"sizeText\": %s}", separator,
                        JsonQuoted(NameText(file.name)).c_str(), file.size, JsonQuoted(SizeText(file.size)).c_str());
            separator = ",\n";
        }
        std::printf("\n  ]\n}\n");
        return kExitDone;
    }
    std::size_t width = 0;
    for (const RecordingEntry& file : files)
        width = std::max(width, NameText(file.name).size());
    for (const RecordingEntry& file : files)
        std::printf("%-*s  %10" PRIu32 "  %s\n", static_cast<int>(width), NameText(file.name).c_str(), file.size,
                    SizeText(file.size).c_str());
    return kExitDone;
}

const char* FetchStatusWord(FetchStatus status)
{
    switch (status) {
    case FetchStatus::Complete:
        return "complete";
    case FetchStatus::NothingNew:
        return "nothing-new";
    case FetchStatus::TimedOut:
        return "timed-out";
    case FetchStatus::Refused:
        return "refused";
    case FetchStatus::FileError:
        return "file-error";
    case FetchStatus::NotConnected:
        return "not-connected";
    case FetchStatus::ConsoleGone:
        return "console-gone";
    case FetchStatus::Cancelled:
        break;
    }
    return "cancelled";
}

int FetchExitStatus(FetchStatus status)
{
    switch (status) {
    case FetchStatus::Complete:
    case FetchStatus::NothingNew:
        return kExitDone;
    case FetchStatus::Refused:
        return kExitRefused;
    case FetchStatus::FileError:
        return kExitTransferFailed;
    default:
        return kExitFailed;
    }
}

int Fetch(RecordingCard& card, const RecordingEntry& file, bool json)
{
    const std::filesystem::path store = RecordStorePath({});
    const DateOrder dateOrder = DesktopDateOrder();
    const bool showProgress = ErrorIsTerminal();
    bool progressShown = false;
    const std::string name = NameText(file.name);
    StandardErrorMessages messages;
    const ExportOutcome outcome =
        ExportRecording(card, file, store, dateOrder, messages, {}, [&](const ExportProgress& progress) {
            if (!showProgress || progress.total == 0)
                return;
            const char* step = progress.step == ExportProgress::Step::Fetching ? "Fetching" : "Importing";
            std::fprintf(stderr, "\r%s %s: %" PRIu64 " of %" PRIu64 " bytes (%" PRIu64 " %%)", step, name.c_str(),
                         progress.done, progress.total, progress.done * 100 / progress.total);
            progressShown = true;
        });
    if (progressShown)
        std::fputc('\n', stderr);
    const FetchOutcome& fetch = outcome.fetch;
    if (fetch.status == FetchStatus::ConsoleGone || fetch.status == FetchStatus::NotConnected)
        std::fprintf(stderr, "vorelle2-cli recordings: the console went away; fetch again to continue\n");

    const ImportSummary& imported = outcome.import.summary;
    const MergeCounts history = outcome.history ? outcome.history->counts : MergeCounts{};
    if (json) {
        std::printf("{\n  \"name\": %s,\n  \"status\": \"%s\",\n  \"fetched\": %" PRIu64 ",\n  \"held\": %" PRIu64
                    ",\n  \"localCopy\": %s,\n  \"imported\": %s,\n  \"store\": %s,\n  \"linesRead\": %" PRIu64
                    ",\n  \"rowsStored\": %" PRIu64 ",\n  \"linesRefused\": %" PRIu64 ",\n  \"linesHeldBack\": %" PRIu64
                    ",\n  \"historyAdded\": %" PRIu64 ",\n  \"historyChanged\": %" PRIu64 "\n}\n",
                    JsonQuoted(name).c_str(), FetchStatusWord(fetch.status), fetch.fetched, fetch.heldBefore,
                    JsonQuoted(fetch.localCopy.string()).c_str(), outcome.Imported() ? "true" : "false",
                    JsonQuoted(store.string()).c_str(), imported.linesRead, imported.rowsStored,
                    imported.linesRefused, imported.linesHeldBack, history.added, history.changed);
    } else if (fetch.ImportsLocalCopy()) {
        std::printf("%s: fetched %" PRIu64 " bytes, %" PRIu64 " bytes already held\n", name.c_str(), fetch.fetched,
                    fetch.heldBefore);
        if (outcome.Imported())
            std::printf("%s: imported into %s: %" PRIu64 " lines read, %" PRIu64 " rows stored, %" PRIu64
                        " lines refused, %" PRIu64 " lines held back\n",
                        name.c_str(), store.string().c_str(), imported.linesRead, imported.rowsStored,
                        imported.linesRefused, imported.linesHeldBack);
        if (outcome.history)
            std::printf("%s: added to the history: %" PRIu64 " readings added, %" PRIu64 " changed\n",
                        name.c_str(), history.added, history.changed);
    }
    // A copy that could not be imported leaves the store as it was.
    if (fetch.ImportsLocalCopy() && !outcome.Imported() && fetch.status != FetchStatus::TimedOut)
        return kExitTransferFailed;
    return FetchExitStatus(fetch.status);
}

int Delete(RecordingCard& card, const RecordingEntry& file, bool json)
{
    const DeleteOutcome outcome = card.Delete(file);
    if (!outcome.message.empty())
        std::fprintf(stderr, "vorelle2-cli recordings: %s\n", outcome.message.c_str());
    const std::string name = NameText(file.name);
    const char* status = outcome.status == DeleteStatus::Deleted    ? "deleted"
                         : outcome.status == DeleteStatus::CardOnly ? "card-only"
                                                                    : "failed";
    if (json)
        std::printf("{\n  \"name\": %s,\n  \"status\": \"%s\"\n}\n", JsonQuoted(name).c_str(), status);
    else if (outcome.status == DeleteStatus::Deleted)
        std::printf("%s: deleted on the console and in the data folder\n", name.c_str());
    switch (outcome.status) {
    case DeleteStatus::Deleted:
        return kExitDone;
    case DeleteStatus::CardOnly:
        return IsSafeLocalName(file.name) ? kExitTransferFailed : kExitRefused;
    case DeleteStatus::Failed:
        break;
    }
    return kExitFailed;
}

int RunRecordings(const CommandCall& call)
{
    RecordingsOptions options;
    if (const std::optional<std::string> problem = ReadRecordingsOptions(call, options))
        return call.WrongLine(*problem);

    const std::unique_ptr<ConsoleDoor> console = OpenConsole(options.console);
    if (!console)
        return kExitFailed;
    RecordingCard card(console->Link(), WorkingDataFolder());
    const ListingOutcome listing = card.List([] {
        if (ErrorIsTerminal())
            std::fprintf(stderr, "%s\n", std::string(kReadingText).c_str());
    });
    if (listing.status != ListingStatus::Listed) {
        std::fprintf(stderr, "vorelle2-cli recordings: %s\n",
                     listing.message.empty() ? "the console went away" : listing.message.c_str());
        return kExitFailed;
    }
    if (options.action == Action::List)
        return PrintList(listing.files, options.json);

    const RecordingEntry* file = FindByNameText(listing.files, options.name);
    if (!file) {
        std::fprintf(stderr, "vorelle2-cli recordings: the card has no file '%s'\n", options.name.c_str());
        return kExitRefused;
    }
    return options.action == Action::Fetch ? Fetch(card, *file, options.json) : Delete(card, *file, options.json);
}

}  // namespace

const CliCommand kRecordingsCommand = {
    "recordings",
    "list|fetch NAME|delete NAME [--json]\n[--simulate [--units T,P,W,R,L] [--channels N]\n[--clock TIME] [--card-days N]]",
    "the recording files on the console's SD card",
    "The recording files on the console's SD card and their local copies in\n"
    "the data folder (VORELLE2_DATA_DIR, or ~/.local/share/Vorelle2).\n"
    "\n"
    "  list          print every file with its size in bytes, newest first\n"
    "  fetch NAME    fetch what the card file NAME has beyond its local copy and\n"
    "                add it to the copy; print the bytes fetched and the bytes\n"
    "                the copy held already; then import the copy into the\n"
    "                record store (QM710.db in the data folder) in place of the\n"
    "                recording held there\n"
    "  delete NAME   delete NAME on the card, then its local copy",
    [] {
        std::vector<OptionSpec> options = SimulateOptions(
            "use the built-in simulated console instead of USB (with\nthree extra channels unless --channels says "
            "otherwise)");
        options.push_back({"--json", "", "print one JSON object"});
        return options;
    }(),
    "NAME is written as list prints it. A fetch shows its progress on standard\n"
    "error when that is a terminal.",
    {{kExitDone, "done"},
     {kExitFailed, "no console, or it did not answer or went away"},
     {kExitRefused, "no file NAME on the card, or a name that cannot be a file of the\ndata folder"},
     {kExitTransferFailed, "a file of the data folder could not be made or written, or the\ncopy could not be "
                           "imported (the store is then unchanged)"}},
    RunRecordings,
};

}  // namespace vorelle
