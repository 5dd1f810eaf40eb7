// The history brought up to date: from the console's card, or from the
// recordings already fetched into the data folder.
#include "cli/HistoryCommand.h"

#include "cli/CliConsole.h"
#include "cli/CommandLine.h"
#include "cli/HistoryCommandLine.h"
#include "recordings/HistoryRebuild.h"
#include "recordings/HistorySync.h"
#include "store/DataFolder.h"
#include "store/DesktopDateOrder.h"

#include <chrono>
#include <cinttypes>
#include <cstdio>

namespace vorelle {

namespace {

// Progress on standard error, a line at a time, at most two a second, so
// that a log of it stays short.
class RecordingProgressLines {
public:
    void Show(std::size_t recording, std::size_t total, const std::string& name, std::uint64_t done,
              std::uint64_t of)
    {
        const auto now = std::chrono::steady_clock::now();
        if (shownAny_ && now - shownAt_ < std::chrono::milliseconds(500))
            return;
        shownAny_ = true;
        shownAt_ = now;
        std::fprintf(stderr, "Recording %zu of %zu%s%s (%" PRIu64 " %%)\n", recording, total,
                     name.empty() ? "" : ": ", name.c_str(), of == 0 ? 0 : done * 100 / of);
    }

private:
    bool shownAny_ = false;
    std::chrono::steady_clock::time_point shownAt_;
};

void PrintMergeSummary(std::size_t recordings, const MergeCounts& readings, std::uint64_t linesRefused)
{
    std::printf("Recordings merged  %zu\nReadings added     %" PRIu64 "\nReadings changed   %" PRIu64
                "\nLines refused      %" PRIu64 "\n",
                recordings, readings.added, readings.changed, linesRefused);
}

int RunHistorySync(const CommandCall& call)
{
    if (!call.Words().empty())
        return call.WrongLine("unexpected '" + call.Words().front() + "'");
    ConsoleChoice choice;
    // The station as the program shows it, as `recordings` reads it.
    if (std::optional<std::string> problem = ReadConsoleChoice(call.Options(), ProgramStation(), choice))
        return call.WrongLine(*problem);
    std::optional<HistoryStore> history = OpenFolderHistory("history sync");
    if (!history)
        return kExitFailed;
    const std::unique_ptr<ConsoleDoor> console = OpenConsole(choice);
    if (!console)
        return kExitFailed;
    RecordingCard card(console->Link(), WorkingDataFolder());
    RecordingProgressLines lines;
    const SyncSummary summary = SyncHistory(card, *history, DesktopDateOrder(), [&](const SyncProgress& at) {
        // Reported while a recording's bytes come; once it is merged, the next one's line follows.
        if (at.bytesTotal > 0)
            lines.Show(at.recordingsDone + 1, at.recordingsTotal, at.name, at.bytesDone, at.bytesTotal);
    });
    for (const std::string& problem : summary.problems)
        call.Say(problem);
    PrintMergeSummary(summary.recordings, summary.readings, summary.linesRefused);
    return summary.end == CatchUpEnd::UpToDate ? kExitDone : kExitFailed;
}

int RunHistoryRebuild(const CommandCall& call)
{
    if (!call.Words().empty())
        return call.WrongLine("unexpected '" + call.Words().front() + "'");
    std::optional<HistoryStore> history = OpenFolderHistory("history rebuild");
    if (!history)
        return kExitFailed;
    RecordingProgressLines lines;
    const StoreResult<RebuildSummary> summary =
        RebuildHistory(WorkingDataFolder(), *history, DesktopDateOrder(), [&](const RebuildProgress& at) {
            if (at.recordingsDone < at.recordingsTotal)
                lines.Show(at.recordingsDone + 1, at.recordingsTotal, {}, at.bytesDone, at.bytesTotal);
        });
    if (!summary) {
        call.Say("the history cannot be written: " + summary.Error());
        return kExitFailed;
    }
    for (const std::string& problem : summary->problems)
        call.Say(problem);
    PrintMergeSummary(summary->recordings, summary->readings, summary->linesRefused);
    if (summary->summariesRebuilt)
        std::printf("The hourly and daily summaries, changed by another program, were computed again\n");
    return summary->problems.empty() ? kExitDone : kExitFailed;
}

}  // namespace

const CliCommand kHistorySyncCommand = {
    "history sync",
    "[--simulate [--units T,P,W,R,L] [--channels N] [--clock TIME]\n[--card-days N]]",
    "fetch what is new on the console's card into the history",
    "Brings the history up to date with the console's SD card once: lists the\n"
    "card, then fetches each recording the history does not fully hold, oldest\n"
    "first, into its local copy in the data folder (only what the card file has\n"
    "beyond it) and merges the copy into the history. Shows its progress on\n"
    "standard error (the recording, and how much of it has come), then prints the\n"
    "recordings merged, the readings added and changed, and the lines refused (a\n"
    "time that cannot be read). Problems are said on standard error.",
    SimulateOptions("use the built-in simulated console's card instead of USB\n(with three extra channels unless "
                    "--channels says\notherwise)"),
    "While a program owns the console, the command borrows it from there.",
    {{kExitDone, "the history holds every recording of the card"},
     {kExitFailed, "no console, or it did not answer or went away (what came is merged;\nthe next sync goes on), "
                   "or the history could not be written (it is as\nit was before that recording)"}},
    RunHistorySync,
};

const CliCommand kHistoryRebuildCommand = {
    "history rebuild",
    "",
    "build the history from the recordings in the data folder",
    "Merges every recording already fetched into the data folder (the local\n"
    "copies, oldest first) into the history, so that past fetches become history\n"
    "at once; readings already held the same are left, and the readings of\n"
    "copies that are gone stay. Then, when another program has changed the\n"
    "hourly and daily summaries, computes them again. Shows its progress on\n"
    "standard error and prints the recordings merged, the readings added and\n"
    "changed, and the lines refused.",
    {},
    {},
    {{kExitDone, "done"},
     {kExitFailed, "a local copy could not be read (the others are merged), or the\nhistory could not be written "
                   "(it holds the recordings merged before)"}},
    RunHistoryRebuild,
};

}  // namespace vorelle
