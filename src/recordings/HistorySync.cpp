#include "recordings/HistorySync.h"

#include "recordings/RecordingNames.h"

#include <algorithm>

namespace vorelle {

namespace {

constexpr const char* kConsoleGoneText = "the console went away";
constexpr const char* kNoAnswerText = "the console did not answer";

std::string HistoryProblem(const std::string& error) { return "the history cannot be written: " + error; }

}  // namespace

std::vector<RecordingEntry> RecordingsToCatchUp(std::vector<RecordingEntry> listed,
                                                const std::map<std::string, std::uint64_t>& merged)
{
    std::erase_if(listed, [&](const RecordingEntry& file) {
        if (CheckExportName(file.name) != ExportNameCheck::Fits)
            return true;
        const auto noted = merged.find(file.name);
        return noted != merged.end() && noted->second == file.size;
    });
    SortNewestFirst(listed);
    std::reverse(listed.begin(), listed.end());
    return listed;
}

FetchVerdict JudgeFetch(const FetchOutcome& fetch)
{
    switch (fetch.status) {
    case FetchStatus::Complete:
    case FetchStatus::NothingNew:
        return {true, true, CatchUpEnd::UpToDate, {}};
    case FetchStatus::TimedOut:
        return {true, false, CatchUpEnd::TimedOut, kNoAnswerText};
    case FetchStatus::Refused:
    case FetchStatus::FileError:
        return {false, true, CatchUpEnd::UpToDate, fetch.message};
    case FetchStatus::NotConnected:
        return {false, false, CatchUpEnd::NotConnected, kConsoleGoneText};
    case FetchStatus::ConsoleGone:
        return {false, false, CatchUpEnd::ConsoleGone, kConsoleGoneText};
    case FetchStatus::Cancelled:
        break;
    }
    return {false, false, CatchUpEnd::Stopped, {}};
}

SyncSummary SyncHistory(RecordingCard& card, HistoryStore& history, DateOrder order,
                        const SyncProgressReport& progress, std::stop_token stop)
{
    SyncSummary summary;
    const ListingOutcome listing = card.List();
    if (listing.status != ListingStatus::Listed) {
        summary.end = listing.status == ListingStatus::NotConnected ? CatchUpEnd::NotConnected
                      : listing.status == ListingStatus::TimedOut   ? CatchUpEnd::TimedOut
                                                                    : CatchUpEnd::ConsoleGone;
        summary.problems.push_back(listing.status == ListingStatus::TimedOut ? kNoAnswerText : kConsoleGoneText);
        return summary;
    }
    StoreResult<std::map<std::string, std::uint64_t>> merged = history.MergedRecordings();
    if (!merged) {
        summary.end = CatchUpEnd::HistoryFailed;
        summary.problems.push_back(HistoryProblem(merged.Error()));
        return summary;
    }
    const std::vector<RecordingEntry> plan = RecordingsToCatchUp(listing.files, merged.Value());
    SyncProgress at{0, plan.size(), {}, 0, 0};
    for (const RecordingEntry& file : plan) {
        at.name = NameText(file.name);
        const FetchOutcome fetch = card.Fetch(file, stop, [&](const FetchProgress& fetched) {
            at.bytesDone = fetched.received;
            at.bytesTotal = fetched.expected;
            if (progress)
                progress(at);
        });
        const FetchVerdict verdict = JudgeFetch(fetch);
        if (!verdict.problem.empty())
            summary.problems.push_back(at.name + ": " + verdict.problem);
        if (verdict.merge) {
            StoreResult<RecordingMerge> merge =
                MergeRecordingFile(history, fetch.localCopy, file.name, MergedFile::LocalCopy, order);
            if (!merge) {
                summary.end = CatchUpEnd::HistoryFailed;
                summary.problems.push_back(HistoryProblem(merge.Error()));
                return summary;
            }
            ++summary.recordings;
            summary.readings += merge->counts;
            summary.linesRefused += merge->lines.linesRefused;
        }
        ++at.recordingsDone;
        at.bytesDone = at.bytesTotal = 0;
        if (progress)
            progress(at);
        if (!verdict.goOn) {
            summary.end = verdict.end;
            return summary;
        }
    }
    return summary;
}

}  // namespace vorelle
