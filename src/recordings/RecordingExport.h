#pragma once

#include "messages/Messages.h"
#include "recordings/RecordingCard.h"
#include "recordings/RecordingHistory.h"
#include "recordings/RecordingImport.h"
#include "store/RecordTime.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <stop_token>

namespace vorelle {

// How far an export has come: the transfer in bytes of the bytes it expects,
// the import in bytes of the local copy, then the merge into the history in
// readings.
struct ExportProgress {
    enum class Step { Fetching, Importing, Merging };
    Step step = Step::Fetching;
    std::uint64_t done = 0;
    std::uint64_t total = 0;
};
using ExportProgressReport = std::function<void(const ExportProgress&)>;

struct ExportOutcome {
    FetchOutcome fetch;
    // Filled when the local copy was to be imported (fetch.ImportsLocalCopy()).
    ImportResult import;
    // What the merge of an imported copy into the history did; none when it
    // was not merged.
    std::optional<RecordingMerge> history;

    bool Imported() const { return import.status == ImportStatus::Imported; }
};

// Export: fetches what the card file has beyond its local copy, then imports
// the whole local copy into the record store `store` in place of the
// recording held there, after a timed-out transfer too (what the copy holds
// is whole), and merges it into the history beside the store (a failed
// merge leaves the import in place). Every failure is said once through `messages`, on the calling
// thread, the transfer's first. `stop` ends either step; the store is then
// unchanged.
ExportOutcome ExportRecording(RecordingCard& card, const RecordingEntry& file, const std::filesystem::path& store,
                              DateOrder dateOrder, Messages& messages, std::stop_token stop = {},
                              const ExportProgressReport& progress = {});

}  // namespace vorelle
