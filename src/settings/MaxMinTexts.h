#pragma once

#include "live/LiveValues.h"
#include "settings/MaxMinRecords.h"

#include <array>
#include <cstddef>
#include <string>

namespace vorelle {

// The Max/Min dialog's nineteen fields in the order of its groups, each
// quantity's maximum, then its minimum where it has one: indoor and outdoor
// temperature, indoor and outdoor humidity, relative and absolute pressure and
// dew point with both; feels like, solar radiation, UV index, wind and gust
// speed with a maximum only.
inline constexpr std::size_t kMaxMinFields = 19;
using MaxMinTexts = std::array<std::string, kMaxMinFields>;

// The records as the dialog shows them, with their units in `units`; a
// record never read stays empty rather than showing a made-up zero.
MaxMinTexts ShowMaxMin(const MaxMinRecords& records, const UnitCodes& units);

}  // namespace vorelle
