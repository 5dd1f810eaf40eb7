#pragma once

#include "messages/Messages.h"
#include "recordings/RecordingCard.h"
#include "recordings/RecordingImport.h"
#include "store/RecordTime.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <stop_token>

namespace vorelle {

// How far an export has come: the transfer in bytes of the bytes it expects,
// then the import in bytes of the local copy.
struct ExportProgress {
    enum class Step { Fetching, Importing };
    Step step = Step::Fetching;
    std::uint64_t done = 0;
    std::uint64_t total = 0;
};
using ExportProgressReport = std::function<void(const ExportProgress&)>;

struct ExportOutcome {
    FetchOutcome fetch;
    // Filled when the local copy was to be imported (fetch.ImportsLocalCopy()).
    ImportResult import;

    bool Imported() const { return import.status == ImportStatus::Imported; }
};

// Export: fetches what the card file has beyond its local copy, then imports
// the whole local copy into the record store `store` in place of the
// recording held there, after a timed-out transfer too (what the copy holds
// is whole). Every failure is said once through `messages`, on the calling
// thread, the transfer's first. `stop` ends either step; the store is then
// unchanged.
ExportOutcome ExportRecording(RecordingCard& card, const RecordingEntry& file, const std::filesystem::path& store,
                              DateOrder dateOrder, Messages& messages, std::stop_token stop = {},
                              const ExportProgressReport& progress = {});

}  // namespace vorelle
