#include "recordings/HistoryRebuild.h"

#include "recordings/RecordingEntry.h"
#include "recordings/RecordingNames.h"
#include "store/DataFolder.h"

#include <algorithm>

namespace vorelle {

namespace fs = std::filesystem;

namespace {

struct LocalCopyFile {
    RecordingEntry entry;  // its name, and its size on disk
    fs::path path;
};

// The local copies of `dataFolder`, oldest first. A name of letters beyond
// ASCII is taken as the file system spells it.
std::vector<LocalCopyFile> LocalCopies(const fs::path& dataFolder, std::uint64_t& bytes)
{
    std::vector<RecordingEntry> entries;
    std::error_code error;
    for (const fs::directory_entry& file : fs::directory_iterator(dataFolder, error)) {
        const std::string name = file.path().filename().string();
        std::error_code ignored;
        if (!file.is_regular_file(ignored) || !IsRecordingCopy(file.path()) || !IsSafeLocalName(name))
            continue;
        const std::uintmax_t size = file.file_size(ignored);
        entries.push_back({name, static_cast<std::uint32_t>(std::min<std::uintmax_t>(size, UINT32_MAX))});
    }
    SortNewestFirst(entries);
    std::vector<LocalCopyFile> copies;
    bytes = 0;
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        bytes += entry->size;
        copies.push_back({*entry, dataFolder / entry->name});
    }
    return copies;
}

}  // namespace

StoreResult<RebuildSummary> RebuildHistory(const fs::path& dataFolder, HistoryStore& history, DateOrder order,
                                           const RebuildProgressReport& progress, std::stop_token stop)
{
    RebuildSummary summary;
    RebuildProgress at;
    const std::vector<LocalCopyFile> copies = LocalCopies(dataFolder, at.bytesTotal);
    at.recordingsTotal = copies.size();
    for (const LocalCopyFile& copy : copies) {
        if (stop.stop_requested())
            return summary;
        std::string why;
        const std::optional<RecordingFileReadings> recording =
            ReadRecordingForHistory(copy.path, copy.entry.name, order, why);
        if (recording) {
            StoreResult<RecordingMerge> merged =
                MergeRecordingReadings(history, *recording, copy.entry.name, MergedFile::LocalCopy);
            if (!merged)
                return merged.TakeError();
            ++summary.recordings;
            summary.readings += merged->counts;
            summary.linesRefused += merged->lines.linesRefused;
        } else {
            summary.problems.push_back(why);
        }
        ++at.recordingsDone;
        at.bytesDone += copy.entry.size;
        if (progress)
            progress(at);
    }
    StoreResult<bool> current = history.SummariesCurrent();
    if (!current)
        return current.TakeError();
    if (!current.Value()) {
        StoreResult<std::uint64_t> rebuilt = history.RebuildSummaries();
        if (!rebuilt)
            return rebuilt.TakeError();
        summary.summariesRebuilt = true;
    }
    return summary;
}

}  // namespace vorelle
