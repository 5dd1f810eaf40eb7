#include "sim/SimReplyStream.h"

namespace vorelle {

namespace {
constexpr double kPeriodMs = 1.0;
// A reader that makes no room in this time is not reading; the console sends
// on, and the oldest unread reports are lost as in a full HID buffer.
constexpr std::chrono::milliseconds kRoomPatience{200};
constexpr std::chrono::microseconds kRoomLook{100};
}  // namespace

SimReplyStream::SimReplyStream(SimReplyQueues& queues, double timeScale)
    : queues_(queues), period_(kPeriodMs * timeScale), thread_([this] { Run(); })
{
}

SimReplyStream::~SimReplyStream()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        ++run_;
    }
    changed_.notify_all();
    thread_.join();
}

void SimReplyStream::Start(NextReport next, std::chrono::steady_clock::time_point firstDue)
{
    {
        std::lock_guard lock(mutex_);
        ++run_;
        next_ = std::move(next);
        firstDue_ = firstDue;
    }
    changed_.notify_all();
}

void SimReplyStream::Stop()
{
    {
        std::lock_guard lock(mutex_);
        ++run_;
        next_ = nullptr;
    }
    changed_.notify_all();
}

bool SimReplyStream::WaitUntil(std::chrono::steady_clock::time_point due, std::uint64_t run)
{
    std::unique_lock lock(mutex_);
    changed_.wait_until(lock, due, [&] { return run_ != run; });
    return run_ == run;
}

void SimReplyStream::AwaitRoom(std::uint64_t run)
{
    // Only a test's shortened pace can outrun the reading thread; the
    // console's real pace never does.
    const auto giveUp = std::chrono::steady_clock::now() + kRoomPatience;
    while (!queues_.ReaderHasRoom() && std::chrono::steady_clock::now() < giveUp) {
        if (!WaitUntil(std::chrono::steady_clock::now() + kRoomLook, run))
            return;
    }
}

void SimReplyStream::Run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || next_; });
        if (stopping_)
            return;
        const std::uint64_t run = run_;
        const NextReport next = std::exchange(next_, nullptr);
        const auto firstDue = firstDue_;
        lock.unlock();
        for (std::uint64_t sent = 0;; ++sent) {
            const std::optional<Report> report = next();
            const auto due =
                firstDue + std::chrono::duration_cast<std::chrono::steady_clock::duration>(period_ * sent);
            if (!report || !WaitUntil(due, run))
                break;
            AwaitRoom(run);
            // Checked and sent under the lock, so that once a new run has
            // started no report of this one goes out.
            std::lock_guard sending(mutex_);
            if (run_ != run)
                break;
            queues_.Push(*report, std::chrono::steady_clock::now());
        }
        lock.lock();
    }
}

}  // namespace vorelle
