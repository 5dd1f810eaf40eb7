#pragma once

#include "link/HidTransport.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>

namespace vorelle {

// The input reports waiting on one open handle of the simulated console. Like
// hidraw, every open handle gets its own copy of each report, and a handle
// nobody reads from keeps only the newest ones.
class SimReplyQueue {
public:
    // hidraw's own buffer holds 64 reports per open file.
    static constexpr std::size_t kCapacity = 64;

    // Queues `report` to be delivered no earlier than `due`.
    void Push(const Report& report, std::chrono::steady_clock::time_point due);
    // The next report that is due, waiting at most `timeout`; its bytes go
    // into `wire` after the report id. Returns 65, or 0 when none came.
    int Next(WireReport& wire, std::chrono::milliseconds timeout);
    void Clear();

private:
    struct Entry {
        std::chrono::steady_clock::time_point due;
        Report report;
    };

    std::mutex mutex_;  // protects entries_
    std::condition_variable ready_;
    std::deque<Entry> entries_;
};

}  // namespace vorelle
