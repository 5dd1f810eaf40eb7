#pragma once

#include "link/ConsoleLink.h"
#include "live/LiveReadings.h"

#include <chrono>
#include <cstdint>
#include <optional>

namespace vorelle {

// What one follower of the poll hears, in order: each reading the poll
// publishes, and the console leaving and coming back. Each follower has a
// feed of its own; the poll never waits for one.
class ReadingFeed {
public:
    enum class EventKind { Reading, Connected, Unconnected };
    struct Event {
        EventKind kind;
        LiveReadings::Snapshot reading;  // for a Reading
    };

    // Starts after the reading published last, with the console as it is
    // now.
    ReadingFeed(const LiveReadings& readings, const ConsoleLink& link);

    // The next event, waiting at most `wait` for it.
    std::optional<Event> Next(std::chrono::milliseconds wait);

private:
    std::optional<Event> ConnectionChange();

    const LiveReadings& readings_;
    const ConsoleLink& link_;
    std::uint64_t generation_;
    bool connected_;
    std::uint64_t opening_;
};

}  // namespace vorelle
