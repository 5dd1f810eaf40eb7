#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace vorelle {

// An event that stays signalled until it is reset, so that any number of
// waiters pass while it is set.
class ManualResetEvent {
public:
    explicit ManualResetEvent(bool signalled) : signalled_(signalled) {}

    void Set();
    void Reset();
    bool IsSet() const;
    // True when the event was (or became) signalled before the timeout.
    bool Wait(std::chrono::milliseconds timeout);

private:
    mutable std::mutex mutex_;  // protects signalled_
    std::condition_variable changed_;
    bool signalled_;
};

}  // namespace vorelle
