#pragma once

#include "link/HidTransport.h"
#include "sim/SimReplyQueues.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace vorelle {

// Sends a run of replies at the console's own pace, one report a millisecond
// (shortened by the time scale, as the link's waits are), from a thread of
// its own. A new run replaces the one in progress, as the console drops a
// stream when it is asked for another.
class SimReplyStream {
public:
    // The next report of the run; nothing when the run ends. Called on the
    // stream's thread, without its lock.
    using NextReport = std::function<std::optional<Report>()>;

    SimReplyStream(SimReplyQueues& queues, double timeScale);
    ~SimReplyStream();
    SimReplyStream(const SimReplyStream&) = delete;
    SimReplyStream& operator=(const SimReplyStream&) = delete;

    // The first report goes out at `firstDue`, the others one period apart.
    void Start(NextReport next, std::chrono::steady_clock::time_point firstDue);
    // Sends nothing more of the run in progress.
    void Stop();

private:
    void Run();
    // Waits until `due` or until the run is replaced; true when still current.
    bool WaitUntil(std::chrono::steady_clock::time_point due, std::uint64_t run);
    // Waits, briefly, for a reading handle to make room.
    void AwaitRoom(std::uint64_t run);

    SimReplyQueues& queues_;
    const std::chrono::duration<double, std::milli> period_;

    std::mutex mutex_;  // protects everything below
    std::condition_variable changed_;
    std::uint64_t run_ = 0;  // counts runs; a report of an older run is never sent
    NextReport next_;
    std::chrono::steady_clock::time_point firstDue_{};
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace vorelle
