#pragma once

#include "messages/Messages.h"
#include "recordings/RecordingReadings.h"
#include "store/HistoryStore.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vorelle {

// A recording's way into the lasting history, History.db.

// The history that goes with a record store: History.db in the store's own
// folder. The data folder's store has the data folder's history; a store
// kept elsewhere (`vorelle2-cli import --db`) has one of its own there, so a
// trial import never mixes its readings into the station's history.
std::filesystem::path HistoryBeside(const std::filesystem::path& recordStore);

// Whether the file merged is the local copy of the card file of its name,
// whose merge the history then notes (MergedRecordings), or any other file.
enum class MergedFile { LocalCopy, Other };

// What merging a recording did.
struct RecordingMerge {
    MergeCounts counts;
    LineCounts lines;
    std::uint64_t bytes = 0;  // of the card file, when the file is a local copy
};

// The recording `file` whose name on the console is `name` (which chooses
// its kind), read for the history: its readings and lines, and the card
// bytes it holds when it is a local copy.
struct RecordingFileReadings {
    RecordingReadings read;
    std::uint64_t bytes = 0;
};
// None when the file cannot be read: `why` then says so.
std::optional<RecordingFileReadings> ReadRecordingForHistory(const std::filesystem::path& file,
                                                             std::string_view name, DateOrder order,
                                                             std::string& why);

// Merges what was read of the recording `name` into `history`, all or none.
StoreResult<RecordingMerge> MergeRecordingReadings(HistoryStore& history, const RecordingFileReadings& recording,
                                                     std::string_view name, MergedFile what,
                                                     const MergeProgressCallback& progress = {});

// Both: reads the file and merges it.
StoreResult<RecordingMerge> MergeRecordingFile(HistoryStore& history, const std::filesystem::path& file,
                                                 std::string_view name, MergedFile what, DateOrder order,
                                                 const MergeProgressCallback& progress = {});

// The same after the recording was imported into `recordStore`, into the
// history beside it: a failure is said once through `messages`, and leaves
// the history as it was and the import as it is. None after a failure.
std::optional<RecordingMerge> MergeImportedRecording(const std::filesystem::path& recordStore,
                                                     const std::filesystem::path& file, std::string_view name,
                                                     MergedFile what, DateOrder order, Messages& messages,
                                                     const MergeProgressCallback& progress = {});

}  // namespace vorelle
