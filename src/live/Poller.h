#pragma once

#include "link/ConsoleLink.h"
#include "live/LiveReadings.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace vorelle {

// The poll thread's one-second beat. The program sleeps; tests step it.
class PollBeat {
public:
    virtual ~PollBeat() = default;
    // Waits one beat. False when the poller is to stop.
    virtual bool Wait() = 0;
    virtual void Stop() = 0;
};

// One second of the link's time scale, interruptible by Stop.
class SleepingBeat final : public PollBeat {
public:
    explicit SleepingBeat(std::chrono::milliseconds period) : period_(period) {}
    bool Wait() override;
    void Stop() override;

private:
    const std::chrono::milliseconds period_;
    std::mutex mutex_;  // protects stopping_
    std::condition_variable stopped_;
    bool stopping_ = false;
};

// Work that shares the link with the poll (the history's catch-up), one
// exchange at a time: the poll thread hands it the link right after a
// reading, so it never runs during one, and takes the link back when it
// returns. It must return well within a poll period, so that the next
// reading comes at most that much late.
class BetweenPolls {
public:
    virtual ~BetweenPolls() = default;
    // On the poll thread, right after a reading, while the console is
    // connected and no dialog is open. `dialogOpen` is the poller's
    // DialogOpen: work that takes long looks at it and gives the link back
    // as soon as a dialog wants it.
    virtual void AfterReading(const std::atomic<bool>& dialogOpen) = 0;
};

// Reads the console's units and live record about every nine seconds while
// it is connected and no settings dialog is open, and asks for a repaint
// every second and after every reading.
class Poller {
public:
    using RepaintRequest = std::function<void()>;

    Poller(ConsoleLink& link, LiveReadings& readings, PollBeat& beat, RepaintRequest repaint);
    ~Poller();
    Poller(const Poller&) = delete;
    Poller& operator=(const Poller&) = delete;

    // Hands the link to `work` after every reading (nothing: to no one).
    // Set before Start; `work` outlives the poll thread.
    void SetBetweenPolls(BetweenPolls* work) { betweenPolls_ = work; }

    void Start();
    void Stop();

    // Set while a settings dialog runs its own exchanges with the console.
    std::atomic<bool> DialogOpen{false};

private:
    static constexpr int kFirstCount = 9;
    static constexpr int kPollAtCount = 10;

    void Run();

    ConsoleLink& link_;
    LiveReadings& readings_;
    PollBeat& beat_;
    RepaintRequest repaint_;
    BetweenPolls* betweenPolls_ = nullptr;
    std::thread thread_;
};

}  // namespace vorelle
