#include "recordings/HistoryCatchUp.h"

#include "recordings/LocalCopy.h"
#include "recordings/RecordingNames.h"

#include <cstdio>
#include <ctime>

namespace vorelle {

namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t kGapBytes = HistoryCatchUp::kConsoleBytesPerSecond * HistoryCatchUp::kGapSeconds;
constexpr std::uint64_t kLongestFetchBytes =
    HistoryCatchUp::kConsoleBytesPerSecond * HistoryCatchUp::kLongestFetchSeconds;

constexpr const char* kListingFailedText = "the console did not list its recordings";

std::string TooLargeText(const RecordingEntry& file)
{
    return NameText(file.name) +
           ": too much is new to fetch between two readings; export it from Recordings > SD Card Recordings";
}

// The bytes a fetch of `file` will bring: what the card file has beyond its
// local copy, or all of it when the copy belongs to another card.
std::uint64_t NewBytes(const fs::path& dataFolder, const RecordingEntry& file)
{
    std::uint64_t held = 0;
    const std::optional<fs::path> copy = LocalCopyPath(dataFolder, file.name);
    if (!copy || CountHeldBytes(*copy, held))
        held = 0;
    if (held > std::uint64_t{file.size} + 1)
        held = 0;
    return file.size > held ? file.size - held : 0;
}

}  // namespace

std::string CatchUpStatusText(const CatchUpState& state)
{
    switch (state.phase) {
    case CatchUpState::Phase::UpToDate: {
        const std::time_t at = std::chrono::system_clock::to_time_t(state.upToDateAt);
        std::tm local{};
        localtime_r(&at, &local);
        char text[48];
        std::snprintf(text, sizeof text, "History up to date %02d:%02d", local.tm_hour, local.tm_min);
        return text;
    }
    case CatchUpState::Phase::CatchingUp:
        // Until the card is listed there is nothing to count.
        if (state.recordingsTotal == 0)
            return "History catching up";
        return "History catching up: " + std::to_string(state.recordingsDone) + " of " +
               std::to_string(state.recordingsTotal) + " recordings";
    case CatchUpState::Phase::Behind:
        return "History not up to date: " + state.problem;
    case CatchUpState::Phase::Off:
    case CatchUpState::Phase::Waiting:
        break;
    }
    return {};
}

HistoryCatchUp::HistoryCatchUp(ConsoleLink& link, Options options)
    : card_(link, options.dataFolder), link_(link), options_(std::move(options)), enabled_(options_.settings.enabled)
{
    state_.phase = enabled_ ? CatchUpState::Phase::Waiting : CatchUpState::Phase::Off;
    merger_ = std::jthread([this](std::stop_token stop) { MergeAll(stop); });
}

HistoryCatchUp::~HistoryCatchUp()
{
    merger_.request_stop();
    if (merger_.joinable())
        merger_.join();
}

void HistoryCatchUp::SetEnabled(bool on)
{
    enabled_ = on;
    if (on)
        roundWanted_ = true;
    {
        std::lock_guard lock(mutex_);
        SetPhaseLocked(on ? CatchUpState::Phase::Waiting : CatchUpState::Phase::Off);
    }
    Changed();
}

CatchUpState HistoryCatchUp::State() const
{
    std::lock_guard lock(mutex_);
    return state_;
}

void HistoryCatchUp::AwaitMerges()
{
    std::unique_lock lock(mutex_);
    jobsChanged_.wait(lock, [this] { return jobs_.empty() && !merging_; });
}

void HistoryCatchUp::AfterReading(const std::atomic<bool>& dialogOpen)
{
    if (!enabled_) {
        roundRunning_ = false;
        plan_.clear();
        return;
    }
    // A new connection begins a round at once, whatever the last one did.
    const std::uint64_t opening = link_.Link().Opening();
    const bool wanted = roundWanted_.exchange(false);
    if (opening != opening_ || wanted || (!roundRunning_ && options_.now() >= nextRound_)) {
        opening_ = opening;
        BeginRound();
        ListCard();
        return;
    }
    if (roundRunning_)
        FetchWithinGap(dialogOpen);
}

void HistoryCatchUp::BeginRound()
{
    roundRunning_ = true;
    plan_.clear();
    nextRound_ = options_.now() + std::chrono::minutes(options_.settings.intervalMinutes);
    {
        std::lock_guard lock(mutex_);
        ++round_;
        roundFetched_ = false;
        roundProblem_.clear();
        state_.recordingsDone = state_.recordingsTotal = 0;
        state_.readingsAdded = state_.readingsChanged = 0;
        SetPhaseLocked(CatchUpState::Phase::CatchingUp);
    }
    Changed();
}

void HistoryCatchUp::ListCard()
{
    const ListingOutcome listing = card_.List();
    if (listing.status != ListingStatus::Listed) {
        EndRound(listing.status == ListingStatus::TimedOut ? kListingFailedText : "the console went away");
        return;
    }
    {
        std::lock_guard lock(mutex_);
        plan_ = RecordingsToCatchUp(listing.files, merged_);
        state_.recordingsTotal = plan_.size();
    }
    Changed();
    if (plan_.empty())
        EndRound({});
}

void HistoryCatchUp::FetchWithinGap(const std::atomic<bool>& dialogOpen)
{
    std::uint64_t streamed = 0;
    while (!plan_.empty() && !dialogOpen && enabled_) {
        const RecordingEntry file = plan_.front();
        const std::uint64_t fresh = NewBytes(options_.dataFolder, file);
        if (fresh > kLongestFetchBytes) {
            plan_.erase(plan_.begin());
            {
                std::lock_guard lock(mutex_);
                roundProblem_ = TooLargeText(file);
                ++state_.recordingsDone;
            }
            Changed();
            continue;
        }
        if (streamed > 0 && streamed + fresh > kGapBytes)
            return;
        // A dialog that wants the link ends the transfer within a look.
        std::stop_source stop;
        const FetchOutcome fetch = card_.Fetch(file, stop.get_token(), [&](const FetchProgress&) {
            if (dialogOpen)
                stop.request_stop();
        });
        if (fetch.status == FetchStatus::Cancelled)
            return;  // the recording stays first, for the next reading
        streamed += fresh;
        plan_.erase(plan_.begin());
        const FetchVerdict verdict = JudgeFetch(fetch);
        {
            std::lock_guard lock(mutex_);
            if (verdict.merge)
                jobs_.push_back({file, fetch.localCopy, round_});
            else
                ++state_.recordingsDone;
            if (!verdict.problem.empty())
                roundProblem_ = verdict.problem;
        }
        jobsChanged_.notify_all();
        if (!verdict.goOn) {
            EndRound(verdict.problem);
            return;
        }
    }
    if (plan_.empty())
        EndRound({});
}

void HistoryCatchUp::EndRound(const std::string& problem)
{
    roundRunning_ = false;
    plan_.clear();
    {
        std::lock_guard lock(mutex_);
        if (!problem.empty())
            roundProblem_ = problem;
        roundFetched_ = true;
        FinishRoundIfDoneLocked();
    }
    Changed();
}

void HistoryCatchUp::FinishRoundIfDoneLocked()
{
    if (!roundFetched_ || !jobs_.empty() || merging_)
        return;
    roundFetched_ = false;
    if (roundProblem_.empty()) {
        state_.upToDateAt = options_.wallClock();
        SetPhaseLocked(CatchUpState::Phase::UpToDate);
    } else {
        state_.problem = roundProblem_;
        SetPhaseLocked(CatchUpState::Phase::Behind);
    }
}

void HistoryCatchUp::SetPhaseLocked(CatchUpState::Phase phase)
{
    state_.phase = phase;
    if (phase != CatchUpState::Phase::Behind)
        state_.problem.clear();
    if (!enabled_)
        state_.phase = CatchUpState::Phase::Off;
}

void HistoryCatchUp::MergeAll(std::stop_token stop)
{
    // Opened at once, so that the first round knows what the history holds.
    std::optional<HistoryStore> history;
    OpenHistory(history);
    for (;;) {
        MergeJob job;
        {
            std::unique_lock lock(mutex_);
            jobsChanged_.wait(lock, stop, [this] { return !jobs_.empty(); });
            if (stop.stop_requested())
                return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
            merging_ = true;
        }
        Merge(job, history);
        jobsChanged_.notify_all();
        Changed();
    }
}

std::string HistoryCatchUp::OpenHistory(std::optional<HistoryStore>& history)
{
    StoreResult<HistoryStore> opened = HistoryStore::Open(options_.dataFolder / kHistoryFile);
    if (!opened)
        return opened.Error();
    StoreResult<std::map<std::string, std::uint64_t>> noted = opened->MergedRecordings();
    if (!noted)
        return noted.Error();
    history.emplace(std::move(opened.Value()));
    std::lock_guard lock(mutex_);
    merged_ = std::move(noted.Value());
    return {};
}

void HistoryCatchUp::Merge(const MergeJob& job, std::optional<HistoryStore>& history)
{
    std::string problem = history ? std::string() : OpenHistory(history);
    std::optional<RecordingMerge> merged;
    if (history) {
        // A copy merged as it is now needs no second merge.
        std::uint64_t held = 0;
        bool same = false;
        if (!CountHeldBytes(job.copy, held)) {
            std::lock_guard lock(mutex_);
            const auto noted = merged_.find(job.file.name);
            same = noted != merged_.end() && noted->second == held;
        }
        if (!same) {
            StoreResult<RecordingMerge> result =
                MergeRecordingFile(*history, job.copy, job.file.name, MergedFile::LocalCopy, options_.dateOrder);
            if (result)
                merged = result.Value();
            else
                problem = result.Error();
        }
    }
    std::lock_guard lock(mutex_);
    merging_ = false;
    if (merged)
        merged_[job.file.name] = merged->bytes;
    if (job.round == round_) {
        ++state_.recordingsDone;
        if (merged) {
            state_.readingsAdded += merged->counts.added;
            state_.readingsChanged += merged->counts.changed;
        }
        if (!problem.empty())
            roundProblem_ = "the history cannot be written: " + problem;
    }
    FinishRoundIfDoneLocked();
}

void HistoryCatchUp::Changed()
{
    if (options_.stateChanged)
        options_.stateChanged();
}

}  // namespace vorelle
