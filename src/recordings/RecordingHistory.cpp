#include "recordings/RecordingHistory.h"

#include "recordings/LocalCopy.h"

#include <string>

namespace vorelle {

namespace fs = std::filesystem;

fs::path HistoryBeside(const fs::path& recordStore) { return recordStore.parent_path() / kHistoryFile; }

std::optional<RecordingFileReadings> ReadRecordingForHistory(const fs::path& file, std::string_view name,
                                                             DateOrder order, std::string& why)
{
    std::string text;
    switch (ReadRecordingFile(file, text)) {
    case RecordingFileRead::Read: break;
    case RecordingFileRead::Unreadable: why = file.string() + " cannot be read."; return std::nullopt;
    case RecordingFileRead::TooLarge: why = file.string() + " is larger than 1 GiB."; return std::nullopt;
    }
    RecordingFileReadings recording;
    recording.bytes = HeldBytesOf(text);
    recording.read = ReadRecordingReadings(std::move(text), name, order);
    return recording;
}

StoreResult<RecordingMerge> MergeRecordingReadings(HistoryStore& history, const RecordingFileReadings& recording,
                                                     std::string_view name, MergedFile what,
                                                     const MergeProgressCallback& progress)
{
    const MergedRecording source{std::string(name), recording.bytes};
    StoreResult<MergeCounts> counts = history.Merge(LayoutForRecording(name), recording.read.readings, progress,
                                                    what == MergedFile::LocalCopy ? &source : nullptr,
                                                    &recording.read.labels);
    if (!counts)
        return counts.TakeError();
    return RecordingMerge{counts.Value(), recording.read.lines, recording.bytes};
}

StoreResult<RecordingMerge> MergeRecordingFile(HistoryStore& history, const fs::path& file, std::string_view name,
                                                 MergedFile what, DateOrder order,
                                                 const MergeProgressCallback& progress)
{
    std::string why;
    const std::optional<RecordingFileReadings> recording = ReadRecordingForHistory(file, name, order, why);
    if (!recording)
        return StoreError{why};
    return MergeRecordingReadings(history, *recording, name, what, progress);
}

std::optional<RecordingMerge> MergeImportedRecording(const fs::path& recordStore, const fs::path& file,
                                                     std::string_view name, MergedFile what, DateOrder order,
                                                     Messages& messages, const MergeProgressCallback& progress)
{
    const fs::path historyFile = HistoryBeside(recordStore);
    StoreResult<HistoryStore> history = HistoryStore::Open(historyFile);
    StoreResult<RecordingMerge> merged =
        history ? MergeRecordingFile(history.Value(), file, name, what, order, progress) : history.TakeError();
    if (!merged) {
        std::string why = merged.Error();
        if (!why.empty() && why.back() == '.')
            why.pop_back();
        messages.Inform("The recording was imported, but not added to the history " + historyFile.string() + ": " +
                        why + ". The history is as it was.");
        return std::nullopt;
    }
    return merged.Value();
}

}  // namespace vorelle
