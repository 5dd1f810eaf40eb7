#include "sim/SimReplyQueues.h"

#include <algorithm>

namespace vorelle {

std::shared_ptr<SimReplyQueue> SimReplyQueues::Open()
{
    auto queue = std::make_shared<SimReplyQueue>();
    std::lock_guard lock(mutex_);
    std::erase_if(queues_, [](const std::weak_ptr<SimReplyQueue>& open) { return open.expired(); });
    queues_.push_back(queue);
    return queue;
}

void SimReplyQueues::Push(const Report& report, std::chrono::steady_clock::time_point due)
{
    std::lock_guard lock(mutex_);
    for (const std::weak_ptr<SimReplyQueue>& open : queues_)
        if (const std::shared_ptr<SimReplyQueue> queue = open.lock())
            queue->Push(report, due);
}

void SimReplyQueues::Clear()
{
    std::lock_guard lock(mutex_);
    for (const std::weak_ptr<SimReplyQueue>& open : queues_)
        if (const std::shared_ptr<SimReplyQueue> queue = open.lock())
            queue->Clear();
}

bool SimReplyQueues::ReaderHasRoom()
{
    std::lock_guard lock(mutex_);
    return std::any_of(queues_.begin(), queues_.end(), [](const std::weak_ptr<SimReplyQueue>& open) {
        const std::shared_ptr<SimReplyQueue> queue = open.lock();
        return queue && queue->Size() < SimReplyQueue::kCapacity;
    });
}

}  // namespace vorelle
