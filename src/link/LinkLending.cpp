#include "link/LinkLending.h"

namespace vorelle {

void LinkLending::Enter()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !lent_ || abandoned_; });
    ++exchanges_;
}

bool LinkLending::TryEnter()
{
    std::lock_guard lock(mutex_);
    if (lent_)
        return false;
    ++exchanges_;
    return true;
}

void LinkLending::Leave()
{
    {
        std::lock_guard lock(mutex_);
        --exchanges_;
    }
    changed_.notify_all();
}

bool LinkLending::Lend(std::chrono::milliseconds wait)
{
    std::unique_lock lock(mutex_);
    if (lent_ || abandoned_)
        return false;
    if (!changed_.wait_for(lock, wait, [this] { return exchanges_ == 0 || abandoned_; }) || abandoned_ || lent_)
        return false;
    lent_ = true;
    return true;
}

void LinkLending::TakeBack()
{
    {
        std::lock_guard lock(mutex_);
        lent_ = false;
    }
    changed_.notify_all();
}

bool LinkLending::Lent() const
{
    std::lock_guard lock(mutex_);
    return lent_;
}

void LinkLending::Abandon()
{
    {
        std::lock_guard lock(mutex_);
        abandoned_ = true;
        lent_ = false;
    }
    changed_.notify_all();
}

}  // namespace vorelle
