#include "link/ManualResetEvent.h"

namespace vorelle {

void ManualResetEvent::Set()
{
    {
        std::lock_guard lock(mutex_);
        signalled_ = true;
    }
    changed_.notify_all();
}

void ManualResetEvent::Reset()
{
    std::lock_guard lock(mutex_);
    signalled_ = false;
}

bool ManualResetEvent::IsSet() const
{
    std::lock_guard lock(mutex_);
    return signalled_;
}

bool ManualResetEvent::Wait(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return signalled_; });
}

}  // namespace vorelle
