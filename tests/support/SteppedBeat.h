#pragma once

#include "live/Poller.h"

#include <condition_variable>
#include <mutex>

namespace vorelle::test {

// A beat the test gives one second at a time; it knows when the poller has
// finished its work and waits for the next second.
class SteppedBeat final : public PollBeat {
public:
    bool Wait() override
    {
        std::unique_lock lock(mutex_);
        ++waiting_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return granted_ > 0 || stopping_; });
        if (stopping_)
            return false;
        --granted_;
        return true;
    }

    void Stop() override
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        changed_.notify_all();
    }

    // Lets `seconds` seconds pass and returns when the poller waits again.
    void Advance(int seconds = 1)
    {
        for (int i = 0; i < seconds; ++i) {
            std::unique_lock lock(mutex_);
            const int target = waiting_ + 1;
            ++granted_;
            changed_.notify_all();
            changed_.wait(lock, [&] { return waiting_ >= target; });
        }
    }

    // Returns when the poller first waits.
    void AwaitStart()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return waiting_ >= 1; });
    }

private:
    std::mutex mutex_;  // protects everything below
    std::condition_variable changed_;
    int waiting_ = 0;
    int granted_ = 0;
    bool stopping_ = false;
};

}  // namespace vorelle::test
