#include "live/LiveReadings.h"

#include "live/LiveDecoder.h"

namespace vorelle {

LiveReadings::LiveReadings() { ResetLiveValues(snapshot_.values); }

LiveReadings::Snapshot LiveReadings::Current() const
{
    std::lock_guard lock(mutex_);
    return snapshot_;
}

LiveReadings::Snapshot LiveReadings::WaitForNewer(std::uint64_t generation, std::chrono::milliseconds wait) const
{
    std::unique_lock lock(mutex_);
    published_.wait_for(lock, wait, [&] { return snapshot_.generation > generation; });
    return snapshot_;
}

UnitCodes LiveReadings::Units() const
{
    std::lock_guard lock(mutex_);
    return snapshot_.values.units;
}

void LiveReadings::SetUnits(const UnitCodes& units)
{
    std::lock_guard lock(mutex_);
    snapshot_.values.units = units;
}

void LiveReadings::Publish(const LiveValues& values, bool channelsPresent)
{
    {
        std::lock_guard lock(mutex_);
        const UnitCodes units = snapshot_.values.units;
        snapshot_.values = values;
        snapshot_.values.units = units;
        snapshot_.channelsPresent = channelsPresent;
        snapshot_.takenAt = std::chrono::system_clock::now();
        ++snapshot_.generation;
    }
    published_.notify_all();
}

}  // namespace vorelle
