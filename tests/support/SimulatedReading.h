#pragma once

#include "live/LiveExchanges.h"
#include "publish/ReadingJson.h"
#include "console/SimulatedDoor.h"
#include "support/LocalClock.h"
#include "support/SimLinkFixture.h"

#include <gtest/gtest.h>

namespace vorelle::test {

// Where the simulated console's clock stands, as `vorelle2-cli live --clock` takes it.
inline constexpr const char* kStandingClock = "2026-05-12T10:30";

// The reading `vorelle2-cli live --simulate --units U --channels 2 --clock
// kStandingClock` reads, as taken at 10:30 UTC of that day.
inline TimedReading SimulatedReading(const UnitCodes& units)
{
    SimulatedConsole console(kTestTimeScale);
    StationOptions options;
    options.units = units;
    options.channels = 2;
    options.clock = LocalClock(2026, 5, 12, 10, 30);
    SetUpStation(options, console);
    SimTransport transport(console);
    ConsoleLink link(transport, kTestTimeScale);
    LiveReadings readings;
    EXPECT_TRUE(link.Open() && ReadSettings(link, readings) && ReadLive(link, readings));
    using namespace std::chrono;
    return {readings.Current(), sys_days(year(2026) / May / 12) + hours(10) + minutes(30)};
}

}  // namespace vorelle::test
