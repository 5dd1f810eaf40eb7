#pragma once

#include "live/LiveValues.h"
#include "sim/SimulatedConsole.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vorelle {

// The simulated console as a command line sets it up. Every program that runs
// it (vorelle2-cli, vorelle2-sim-uhid) reads the same options, so the same
// words give the same console.
struct SimStationOptions {
    UnitCodes units{0, 2, 0, 0, 0};  // °C, hPa, m/s, mm, lux
    int channels = 0;
    // A clock that stands still at this time: every reading is the same, so
    // two consoles set up alike answer alike.
    std::optional<SimulatedConsole::Clock::time_point> clock;
    // The days of recordings its card holds, today's included.
    int cardDays = SimSdCard::kDefaultDaysKept;
};

enum class OptionMatch {
    NotOurs,  // not an option of the simulated console
    Taken,    // read, with its value
    Invalid,  // ours, but its value is wrong (or missing)
};

// Reads the option at args[at] when it is one of the simulated console's,
// moving `at` past its value. On Invalid, `error` says why.
OptionMatch TakeStationOption(const std::vector<std::string>& args, std::size_t& at, SimStationOptions& options,
                              std::string& error);

// Sets the console up as the options say.
void ApplyStationOptions(const SimStationOptions& options, SimulatedConsole& console);

// Gives the simulated station a soil-moisture and a PM2.5 sensor, so that
// every part of the board and every recording kind has something to show.
void AddSoilAndPm25Sensors(SimulatedConsole& console);

// The options' lines in a usage text.
inline constexpr const char* kStationOptionsUsage =
    "  --units T,P,W,R,L   the simulated console's unit codes (temperature,\n"
    "                      pressure, wind, rain, light), e.g. 1,0,2,1,1\n"
    "  --channels N        the simulated console's extra channels, 0 to 8\n"
    "  --clock TIME        the simulated console's clock stands still at TIME\n"
    "                      (local, YYYY-MM-DDTHH:MM[:SS]), so that every reading\n"
    "                      is the same\n";

}  // namespace vorelle
