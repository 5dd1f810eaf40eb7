#pragma once

#include "link/HidTransport.h"
#include "sim/SimReplyQueue.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <vector>

namespace vorelle {

// The reply queues of the simulated console's open handles: every reply goes
// to each of them, as a HID device's input report reaches every open handle.
class SimReplyQueues {
public:
    // A queue that receives its own copy of every reply from now on, until
    // the caller lets go of it.
    std::shared_ptr<SimReplyQueue> Open();
    void Push(const Report& report, std::chrono::steady_clock::time_point due);
    // Forgets replies not yet delivered (the cable was pulled).
    void Clear();
    // True when some open queue has room for another report, so that a
    // handle that reads keeps up; a handle nobody reads from is always full.
    bool ReaderHasRoom();

private:
    std::mutex mutex_;  // protects queues_
    std::vector<std::weak_ptr<SimReplyQueue>> queues_;
};

}  // namespace vorelle
