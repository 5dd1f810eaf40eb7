#pragma once

#include "recordings/RecordingCard.h"
#include "recordings/RecordingEntry.h"
#include "recordings/RecordingHistory.h"

#include <cstdint>
#include <functional>
#include <map>
#include <stop_token>
#include <string>
#include <vector>

namespace vorelle {

// Bringing the history up to date with the console's card: what both the
// catch-up that runs by itself (HistoryCatchUp) and the one asked for
// (`vorelle2-cli history sync`) do.

// The listed recordings the history does not fully hold (going by what its
// merges noted, `merged`), oldest first; names that cannot be local copies
// are left out.
std::vector<RecordingEntry> RecordingsToCatchUp(std::vector<RecordingEntry> listed,
                                                const std::map<std::string, std::uint64_t>& merged);

enum class CatchUpEnd {
    UpToDate,       // the history holds every recording of the card
    NotConnected,   // no console: nothing was sent
    ConsoleGone,    // the console went away: nothing half merged; the next catch-up goes on
    TimedOut,       // the console stopped answering; what came is merged
    HistoryFailed,  // the history could not be written: it is as it was before that merge
    Stopped,        // stopped on request
};

// What a catch-up makes of one fetch.
struct FetchVerdict {
    bool merge = false;  // the local copy is whole up to where it ends: merge it
    bool goOn = false;   // go on with the next recording
    CatchUpEnd end = CatchUpEnd::UpToDate;  // when not going on
    std::string problem;                    // a recording left out, or why the catch-up ends
};
FetchVerdict JudgeFetch(const FetchOutcome& fetch);

struct SyncProgress {
    std::size_t recordingsDone = 0;
    std::size_t recordingsTotal = 0;
    std::string name;  // of the recording at work, as NameText shows it
    std::uint64_t bytesDone = 0;   // of its transfer
    std::uint64_t bytesTotal = 0;
};
using SyncProgressReport = std::function<void(const SyncProgress&)>;

struct SyncSummary {
    CatchUpEnd end = CatchUpEnd::UpToDate;
    std::size_t recordings = 0;  // merged
    MergeCounts readings;        // over all of them
    std::uint64_t linesRefused = 0;
    std::vector<std::string> problems;  // in the order they came
};

// One catch-up on the calling thread: lists the card, then fetches each
// recording the history does not fully hold, oldest first, into its local
// copy (what the card file has beyond it) and merges the copy.
SyncSummary SyncHistory(RecordingCard& card, HistoryStore& history, DateOrder order,
                        const SyncProgressReport& progress = {}, std::stop_token stop = {});

}  // namespace vorelle
