#include "live/Poller.h"

#include "live/LiveExchanges.h"

namespace vorelle {

bool SleepingBeat::Wait()
{
    std::unique_lock lock(mutex_);
    return !stopped_.wait_for(lock, period_, [this] { return stopping_; });
}

void SleepingBeat::Stop()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stopped_.notify_all();
}

Poller::Poller(ConsoleLink& link, LiveReadings& readings, PollBeat& beat, RepaintRequest repaint)
    : link_(link), readings_(readings), beat_(beat), repaint_(std::move(repaint))
{
}

Poller::~Poller() { Stop(); }

void Poller::Start()
{
    if (!thread_.joinable())
        thread_ = std::thread(&Poller::Run, this);
}

void Poller::Stop()
{
    beat_.Stop();
    if (thread_.joinable())
        thread_.join();
}

void Poller::Run()
{
    // The count stands still while nothing is connected and goes on while a
    // dialog is open, so the first reading comes a second after start and the
    // next one within a second of closing a dialog that was open long enough.
    int count = kFirstCount;
    do {
        if (link_.Connected()) {
            if (!DialogOpen && count >= kPollAtCount) {
                ReadSettings(link_, readings_);
                ReadLive(link_, readings_);
                repaint_();
                count = 1;
                if (betweenPolls_ && !DialogOpen)
                    betweenPolls_->AfterReading(DialogOpen);
            }
            ++count;
        }
        if (!beat_.Wait())
            return;
        repaint_();
    } while (true);
}

}  // namespace vorelle
