#pragma once

#include "messages/Messages.h"
#include "recordings/RecordingContent.h"
#include "recordings/RecordingReadings.h"
#include "store/RecordTime.h"
#include "store/StoredRecording.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <stop_token>
#include <string>
#include <string_view>

namespace vorelle {

class RecordDatabase;

// How far an import has come. Lines count every line after the header.
struct ImportProgress {
    std::uint64_t linesDone = 0;
    std::uint64_t linesTotal = 0;
    std::uint64_t bytesDone = 0;
    std::uint64_t bytesTotal = 0;
};
using ImportProgressCallback = std::function<void(const ImportProgress&)>;

// What an import made of the recording's reading lines (LineCounts): every
// line read is shown in the content, and either stored as a row or refused
// because its time cannot be read; a line held back is not shown.
struct ImportSummary : LineCounts {
    std::uint64_t rowsStored = 0;
};

enum class ImportStatus {
    Imported,             // the store holds this recording's rows, and only these
    RecordingUnreadable,  // the recording cannot be read, or is too large: reported, store unchanged
    StoreFailed,          // the store cannot be opened or written: reported, store unchanged
    Abandoned,            // the caller asked to stop: store unchanged, nothing reported
};

struct ImportResult {
    ImportStatus status = ImportStatus::Abandoned;
    // Summary, labels and content are filled only when the recording was
    // imported.
    ImportSummary summary;
    UnitLabels labels;
    RecordingContent content;
};

struct RecordingImport {
    std::filesystem::path recording;  // the local copy of the recording
    std::string recordingName;        // its name on the console, which selects the layout
    std::filesystem::path store;      // the record store file; it must exist
    DateOrder dateOrder = DateOrder::DayMonthYear;  // the desktop's, for dates written year last
};

// Replaces the rows of the record store with the readings of a recording,
// all or nothing: the tables are emptied and the rows appended in one
// transaction, so that a failure, a stop or the process dying part way
// leaves the previous recording in the store, whole.
//
// Runs on the calling thread (a worker, for a large recording) and touches
// nothing but its arguments. `progress` is called on that thread, now and
// then and once at the end; `stop` is checked before every line. Failures are
// reported once each through `messages`, on the calling thread too.
ImportResult ImportRecording(const RecordingImport& what, Messages& messages,
                             const ImportProgressCallback& progress = {}, std::stop_token stop = {});

// The same for a recording's whole text and a store already open for
// writing. A text above kMaxRecordingBytes is refused.
ImportResult ImportRecordingText(std::string text, std::string_view recordingName, DateOrder dateOrder,
                                 RecordDatabase& store, Messages& messages,
                                 const ImportProgressCallback& progress = {}, std::stop_token stop = {});

}  // namespace vorelle
