#pragma once

#include "live/LiveValues.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace vorelle {

// The console's latest readings and display units, shared by the poll thread
// that writes them and the windows that show them. Readers get a consistent
// copy, never a record half decoded.
class LiveReadings {
public:
    struct Snapshot {
        LiveValues values;
        bool channelsPresent = false;
        // How many readings have been published; 0 until the first one.
        std::uint64_t generation = 0;
        // When the latest reading was published.
        std::chrono::system_clock::time_point takenAt{};
    };

    // Every reading missing, unit codes 0, until the first poll.
    LiveReadings();

    Snapshot Current() const;
    // Waits at most `wait` for a reading newer than `generation`; the
    // current snapshot either way.
    Snapshot WaitForNewer(std::uint64_t generation, std::chrono::milliseconds wait) const;
    UnitCodes Units() const;
    void SetUnits(const UnitCodes& units);
    // Replaces the readings; the unit codes stay as they are.
    void Publish(const LiveValues& values, bool channelsPresent);

private:
    mutable std::mutex mutex_;  // protects snapshot_
    mutable std::condition_variable published_;
    Snapshot snapshot_;
};

}  // namespace vorelle
