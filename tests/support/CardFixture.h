#pragma once

#include "link/ConsoleLink.h"
#include "recordings/LocalCopy.h"
#include "recordings/RecordingCard.h"
#include "sim/SimTransport.h"
#include "sim/SimulatedConsole.h"
#include "support/LocalClock.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

namespace vorelle::test {

// Card transfers run at this fraction of real time: a packet every 0.2 ms,
// and a transfer gives up on a silent console after 80 ms, long enough that
// a busy machine does not make the console seem silent.
inline constexpr double kCardTimeScale = 0.2;

using Clock = SimulatedConsole::Clock;

// The simulated console with its card on a clock the test sets, plugged in
// and reopened as its cable goes in and out, and a data folder of its own.
class CardConsoleFixture : public ::testing::Test {
protected:
    CardConsoleFixture() : console(kCardTimeScale), transport(console), link(transport, kCardTimeScale)
    {
        console.SetClock([this] { return Clock::time_point(Clock::duration(now_.load())); });
        SetTime(LocalClock(2026, 5, 12, 8, 0, 30));
    }

    ~CardConsoleFixture() override
    {
        transport.SetPlugListener(nullptr);
        console.Card().StopStream();
    }

    void SetUp() override
    {
        transport.SetPlugListener([this](DeviceEvent event) { link.OnDeviceChange(event); });
        ASSERT_TRUE(link.Open());
    }

    void SetTime(Clock::time_point time) { now_ = time.time_since_epoch().count(); }
    Clock::time_point Time() const { return Clock::time_point(Clock::duration(now_.load())); }

    // The card file `name` as the console holds it now.
    std::string CardFile(const std::string& name) const
    {
        for (const SimCardFile& file : console.Card().Files(Time()))
            if (file.name == name)
                return *file.content;
        ADD_FAILURE() << "no card file " << name;
        return {};
    }

    // The card file as its local copy must hold it.
    std::string CardFileWithCrLf(const std::string& name) const
    {
        std::string copy;
        AppendWithCrLf(copy, CardFile(name));
        return copy;
    }

    std::string LocalCopy(const std::string& name) const { return ReadWhole(data.Path() / name); }
    std::size_t Requests(std::uint8_t code) const { return console.ReceivedCommands(code).size(); }

    TempFolder data;
    SimulatedConsole console;
    SimTransport transport;
    ConsoleLink link;

private:
    std::atomic<Clock::rep> now_{0};
};

// The same with the PC's side of the card working in the data folder.
class CardFixture : public CardConsoleFixture {
protected:
    CardFixture() : card(link, data.Path()) {}

    // The entry of `name` in a fresh listing.
    RecordingEntry Listed(const std::string& name)
    {
        const ListingOutcome listing = card.List();
        EXPECT_EQ(listing.status, ListingStatus::Listed);
        for (const RecordingEntry& entry : listing.files)
            if (entry.name == name)
                return entry;
        ADD_FAILURE() << "not listed: " << name;
        return {name, 0};
    }

    RecordingCard card;
};

}  // namespace vorelle::test
