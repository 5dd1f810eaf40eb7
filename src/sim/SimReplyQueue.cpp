#include "sim/SimReplyQueue.h"

#include <algorithm>
#include <cstring>

namespace vorelle {

void SimReplyQueue::Push(const Report& report, std::chrono::steady_clock::time_point due)
{
    {
        std::lock_guard lock(mutex_);
        if (entries_.size() == kCapacity)
            entries_.pop_front();
        entries_.push_back({due, report});
    }
    ready_.notify_all();
}

int SimReplyQueue::Next(WireReport& wire, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::unique_lock lock(mutex_);
    for (;;) {
        const auto now = std::chrono::steady_clock::now();
        if (!entries_.empty() && entries_.front().due <= now) {
            wire.fill(0);
            std::memcpy(wire.data() + 1, entries_.front().report.data(), kReportSize);
            entries_.pop_front();
            return static_cast<int>(kWireReportSize);
        }
        if (now >= deadline)
            return 0;
        const auto wakeAt = entries_.empty() ? deadline : std::min(deadline, entries_.front().due);
        ready_.wait_until(lock, wakeAt);
    }
}

void SimReplyQueue::Clear()
{
    std::lock_guard lock(mutex_);
    entries_.clear();
}

}  // namespace vorelle
