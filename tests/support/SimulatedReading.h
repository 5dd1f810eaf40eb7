#pragma once

#include "live/LiveExchanges.h"
#include "publish/ReadingJson.h"
#include "sim/SimStationOptions.h"
#include "support/SimLinkFixture.h"

#include <gtest/gtest.h>

namespace vorelle::test {

// The simulated console's clock stands still here: "2026-05-12T10:30" is
// what `vorelle2-cli live --clock` takes for the same moment.
inline constexpr const char* kStandingClock = "2026-05-12T10:30";

// The reading `vorelle2-cli live --simulate --units U --channels 2 --clock
// kStandingClock` reads, as taken at 10:30 UTC of that day.
inline TimedReading SimulatedReading(const UnitCodes& units)
{
    SimulatedConsole console(kTestTimeScale);
    SimStationOptions options;
    options.units = units;
    options.channels = 2;
    std::string error;
    std::vector<std::string> words{"--clock", kStandingClock};
    std::size_t at = 0;
    EXPECT_EQ(TakeStationOption(words, at, options, error), OptionMatch::Taken) << error;
    ApplyStationOptions(options, console);
    SimTransport transport(console);
    ConsoleLink link(transport, kTestTimeScale);
    LiveReadings readings;
    EXPECT_TRUE(link.Open() && ReadSettings(link, readings) && ReadLive(link, readings));
    using namespace std::chrono;
    return {readings.Current(), sys_days(year(2026) / May / 12) + hours(10) + minutes(30)};
}

}  // namespace vorelle::test
