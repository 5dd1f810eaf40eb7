#pragma once

#include "recordings/RecordingHistory.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <stop_token>
#include <string>
#include <vector>

namespace vorelle {

struct RebuildProgress {
    std::size_t recordingsDone = 0;
    std::size_t recordingsTotal = 0;
    std::uint64_t bytesDone = 0;  // of the local copies
    std::uint64_t bytesTotal = 0;
};
using RebuildProgressReport = std::function<void(const RebuildProgress&)>;

struct RebuildSummary {
    std::size_t recordings = 0;  // merged
    MergeCounts readings;        // over all of them
    std::uint64_t linesRefused = 0;
    bool summariesRebuilt = false;      // another program had touched them
    std::vector<std::string> problems;  // local copies that could not be read
};

// Builds the history from the recordings already fetched into `dataFolder`:
// every local copy (a ".csv" file whose name a card file could have, the
// working file not among them), oldest first by name as the card names
// them, each merged whole with the kind its name chooses, as the import
// chooses it. Readings of recordings whose copies are gone stay. Then, when
// another program has touched the summaries, they are computed again. Each
// merge is all or nothing: after a failure (the error returned) or a stop,
// the history holds the recordings merged before it.
StoreResult<RebuildSummary> RebuildHistory(const std::filesystem::path& dataFolder, HistoryStore& history,
                                           DateOrder order, const RebuildProgressReport& progress = {},
                                           std::stop_token stop = {});

}  // namespace vorelle
