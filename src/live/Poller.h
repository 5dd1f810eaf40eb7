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

// Reads the console's units and live record about every nine seconds while
// it is connected and no settings dialog is open, and asks for a repaint
// every second and after every reading.
class Poller {
public:
    using RepaintRequest = std::function<void()>;
    // Hears of each reading the console answered, on the poll thread, as soon
    // as it is stored; it must return at once.
    using ReadingListener = std::function<void(const LiveReadings::Snapshot&)>;

    Poller(ConsoleLink& link, LiveReadings& readings, PollBeat& beat, RepaintRequest repaint);
    ~Poller();
    Poller(const Poller&) = delete;
    Poller& operator=(const Poller&) = delete;

    void Start();
    void Stop();
    // Before Start.
    void SetReadingListener(ReadingListener listener) { readingListener_ = std::move(listener); }

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
    ReadingListener readingListener_;
    std::thread thread_;
};

}  // namespace vorelle
