#pragma once

#include "live/LiveValues.h"
#include "options/Options.h"

#include <array>
#include <chrono>
#include <optional>
#include <string>

namespace vorelle {

// How the simulated console is set up: every program that runs it reads the
// same options, so that the same words give the same console.
struct StationOptions {
    UnitCodes units{0, 2, 0, 0, 0};  // °C, hPa, m/s, mm, lux
    int channels = 0;
    // A clock that stands still at this time: every reading is the same, so
    // two consoles set up alike answer alike.
    std::optional<std::chrono::system_clock::time_point> clock;
    // A soil-moisture and a PM2.5 sensor, so that every part of the board and
    // every recording kind has something to show.
    bool soilAndPm25 = false;
    // The days of recordings its card holds, today's included (as many as a
    // test or a benchmark needs); none: the card's own three.
    std::optional<int> cardDays;
};

// The station `vorelle2 --simulate` shows: three extra channels, a
// soil-moisture and a PM2.5 sensor.
StationOptions ProgramStation();

// The most days of recordings a simulated card holds: ten years.
inline constexpr int kMaxCardDays = 3660;

// The command-line options that set the simulated console up.
inline constexpr std::array<OptionSpec, 4> kStationOptions = {{
    {"--units", "T,P,W,R,L",
     "the simulated console's unit codes (temperature,\npressure, wind, rain, light), e.g. 1,0,2,1,1"},
    {"--channels", "N", "the simulated console's extra channels, 0 to 8"},
    {"--clock", "TIME",
     "the simulated console's clock stands still at TIME\n(local, YYYY-MM-DDTHH:MM[:SS]), so that every reading\nis "
     "the same"},
    {"--card-days", "N",
     "the days of recordings the simulated console's card\nholds, today's included, 1 to 3660 (default 3)"},
}};

// True when the command line gives any of them.
bool StationOptionsGiven(const OptionValues& values);

// Takes the station options the command line gives into `options`; the
// message refusing a value, if any.
std::optional<std::string> ReadStationOptions(const OptionValues& values, StationOptions& options);

}  // namespace vorelle
