#include "recordings/RecordingExport.h"

namespace vorelle {

ExportOutcome ExportRecording(RecordingCard& card, const RecordingEntry& file, const std::filesystem::path& store,
                              DateOrder dateOrder, Messages& messages, std::stop_token stop,
                              const ExportProgressReport& progress)
{
    ExportOutcome outcome;
    outcome.fetch = card.Fetch(file, stop, [&](const FetchProgress& fetched) {
        if (progress)
            progress({ExportProgress::Step::Fetching, fetched.received, fetched.expected});
    });
    if (!outcome.fetch.message.empty())
        messages.Inform(outcome.fetch.message);
    if (!outcome.fetch.ImportsLocalCopy() || stop.stop_requested())
        return outcome;
    outcome.import = ImportRecording(
        {outcome.fetch.localCopy, file.name, store, dateOrder}, messages,
        [&](const ImportProgress& imported) {
            if (progress)
                progress({ExportProgress::Step::Importing, imported.bytesDone, imported.bytesTotal});
        },
        stop);
    if (!outcome.Imported() || stop.stop_requested())
        return outcome;
    outcome.history = MergeImportedRecording(store, outcome.fetch.localCopy, file.name, MergedFile::LocalCopy,
                                             dateOrder, messages, [&](const MergeProgress& merged) {
                                                 if (progress)
                                                     progress({ExportProgress::Step::Merging, merged.done,
                                                               merged.total});
                                             });
    return outcome;
}

}  // namespace vorelle
