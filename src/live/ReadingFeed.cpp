#include "live/ReadingFeed.h"

#include <algorithm>

namespace vorelle {

namespace {
// How soon a follower hears that the console left or came back.
constexpr std::chrono::milliseconds kConnectionLook{100};
}  // namespace

ReadingFeed::ReadingFeed(const LiveReadings& readings, const ConsoleLink& link)
    : readings_(readings), link_(link), generation_(readings.Current().generation), connected_(link.Connected()),
      opening_(link.Link().Opening())
{
}

std::optional<ReadingFeed::Event> ReadingFeed::ConnectionChange()
{
    const bool connected = link_.Connected();
    const std::uint64_t opening = link_.Link().Opening();
    // Pulled and plugged back between two looks: first the pull.
    const bool reopened = connected && connected_ && opening != opening_;
    if (connected == connected_ && !reopened)
        return std::nullopt;
    connected_ = connected && !reopened;
    opening_ = opening;
    return Event{connected_ ? EventKind::Connected : EventKind::Unconnected, {}};
}

std::optional<ReadingFeed::Event> ReadingFeed::Next(std::chrono::milliseconds wait)
{
    const auto end = std::chrono::steady_clock::now() + wait;
    do {
        if (std::optional<Event> change = ConnectionChange())
            return change;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        LiveReadings::Snapshot snapshot =
            readings_.WaitForNewer(generation_, std::clamp(left, std::chrono::milliseconds(0), kConnectionLook));
        if (snapshot.generation > generation_) {
            generation_ = snapshot.generation;
            return Event{EventKind::Reading, std::move(snapshot)};
        }
    } while (std::chrono::steady_clock::now() < end);
    return std::nullopt;
}

}  // namespace vorelle
