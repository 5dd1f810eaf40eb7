#pragma once

#include "link/ConsoleLink.h"
#include "live/Poller.h"
#include "recordings/CatchUpSettings.h"
#include "recordings/HistorySync.h"
#include "recordings/RecordingCard.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace vorelle {

// Where the history's catching up stands, as plain values for the status bar.
struct CatchUpState {
    enum class Phase {
        Off,         // switched off
        Waiting,     // no catch-up has run since the console came, or none is connected
        CatchingUp,  // a round runs: recordingsDone of recordingsTotal
        UpToDate,    // the history held every recording of the card at `upToDateAt`
        Behind,      // the last round ended early, `problem` says why; the next one goes on
    };
    Phase phase = Phase::Waiting;
    std::size_t recordingsDone = 0;
    std::size_t recordingsTotal = 0;
    std::uint64_t readingsAdded = 0;  // by the round, so far
    std::uint64_t readingsChanged = 0;
    std::chrono::system_clock::time_point upToDateAt;
    std::string problem;

    friend bool operator==(const CatchUpState&, const CatchUpState&) = default;
};

// The status bar's text: "History up to date 14:05" (the local time of the
// PC), "History catching up: 2 of 9 recordings" ("History catching up"
// while the card is listed), "History not up to date: " and why; nothing
// while off or waiting.
std::string CatchUpStatusText(const CatchUpState& state);

// The history catching up from the console by itself while it is connected:
// once after each connection and then at the settings' interval, a round
// lists the card and fetches each recording the history does not fully
// hold, oldest first, into its local copy (what the card file has beyond
// it), and merges the copy into History.db in the data folder.
//
// The link's work runs on the poll thread between readings (BetweenPolls):
// one round's listing after one reading, then after each reading the
// fetches that the console streams within a few seconds, so a reading comes
// at most that late, never a poll period. A dialog that wants the link
// stops a fetch within a look of the transfer; that fetch merges nothing and
// runs again later. The merges run on a thread of their own, so the
// database never holds the link; each is all of a recording or nothing, and
// a local copy only ever grows by whole transfers, so an unplug leaves
// nothing half merged and the next connection goes on from there.
class HistoryCatchUp final : public BetweenPolls {
public:
    using SteadyClock = std::function<std::chrono::steady_clock::time_point()>;
    using WallClock = std::function<std::chrono::system_clock::time_point()>;
    // Told, on the poll or the merge thread, that State() changed.
    using StateChanged = std::function<void()>;

    struct Options {
        std::filesystem::path dataFolder;  // of the local copies and History.db
        DateOrder dateOrder = DateOrder::DayMonthYear;
        CatchUpSettings settings;
        StateChanged stateChanged;
        SteadyClock now = [] { return std::chrono::steady_clock::now(); };  // for the interval
        WallClock wallClock = [] { return std::chrono::system_clock::now(); };  // for upToDateAt
    };

    // What the console streams in a second: a report of 60 data bytes a
    // millisecond. The fetches after one reading stop once they have
    // streamed about kGapSeconds' worth; a recording that alone would take
    // more than kLongestFetchSeconds is left to Export, whose dialog holds
    // the poll meanwhile.
    static constexpr std::uint64_t kConsoleBytesPerSecond = 60'000;
    static constexpr std::uint64_t kGapSeconds = 4;
    static constexpr std::uint64_t kLongestFetchSeconds = 6;

    HistoryCatchUp(ConsoleLink& link, Options options);
    // Call once the poll thread has stopped; waits for a merge in progress.
    ~HistoryCatchUp() override;
    HistoryCatchUp(const HistoryCatchUp&) = delete;
    HistoryCatchUp& operator=(const HistoryCatchUp&) = delete;

    // Switched on, a round runs after the next reading. Any thread.
    void SetEnabled(bool on);
    CatchUpState State() const;
    // Returns once the merges handed over so far are done.
    void AwaitMerges();

    void AfterReading(const std::atomic<bool>& dialogOpen) override;

private:
    struct MergeJob {
        RecordingEntry file;
        std::filesystem::path copy;
        std::uint64_t round = 0;
    };

    // The poll thread's.
    void BeginRound();
    void ListCard();
    void FetchWithinGap(const std::atomic<bool>& dialogOpen);
    void EndRound(const std::string& problem);

    // The merge thread's.
    void MergeAll(std::stop_token stop);
    // Opens the history and reads what its merges noted; the reason when it cannot.
    std::string OpenHistory(std::optional<HistoryStore>& history);
    void Merge(const MergeJob& job, std::optional<HistoryStore>& history);

    // Callers hold mutex_.
    void FinishRoundIfDoneLocked();
    void SetPhaseLocked(CatchUpState::Phase phase);

    void Changed();

    RecordingCard card_;
    ConsoleLink& link_;
    const Options options_;
    std::atomic<bool> enabled_;
    std::atomic<bool> roundWanted_{true};

    // The poll thread's only.
    std::uint64_t opening_ = 0;  // the link's opening the last round began on
    bool roundRunning_ = false;  // listed, and fetching
    std::vector<RecordingEntry> plan_;  // the round's recordings not yet fetched, oldest first
    std::chrono::steady_clock::time_point nextRound_{};

    mutable std::mutex mutex_;  // protects everything from here to merger_
    std::condition_variable_any jobsChanged_;
    CatchUpState state_;
    std::uint64_t round_ = 0;
    bool roundFetched_ = false;  // the round's fetches are over
    std::string roundProblem_;
    std::map<std::string, std::uint64_t> merged_;  // what the history noted, as the merge thread knows it
    std::deque<MergeJob> jobs_;
    bool merging_ = false;

    // Last, so that it ends before anything it uses goes.
    std::jthread merger_;
};

}  // namespace vorelle
