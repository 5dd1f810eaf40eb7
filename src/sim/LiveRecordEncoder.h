#pragma once

#include "live/LiveValues.h"

#include <chrono>
#include <cstdint>
#include <vector>

namespace vorelle {

// The items the simulated console puts in its live record, in order: the
// station's own sensors, then `channels` extra channels, then soil moisture
// and PM2.5 when those sensors are fitted. Fits the two reply packets.
std::vector<std::uint8_t> LiveRecordItems(int channels, bool soil, bool pm25);

// Codes each item of `items` from `values`, a missing value as its kind's
// missing pattern; the date-and-time item carries `now` in local time.
std::vector<std::uint8_t> EncodeLiveRecord(const LiveValues& values, const std::vector<std::uint8_t>& items,
                                           std::chrono::system_clock::time_point now);

}  // namespace vorelle
