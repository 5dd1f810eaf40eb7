#pragma once

#include "items/ItemTable.h"
#include "live/LiveValues.h"

#include <cstdint>

namespace vorelle {

// The reading of `values` that an item fills; null for the date-and-time
// item and for codes that end a record.
std::int32_t* FieldOfItem(LiveValues& values, std::uint8_t code);
const std::int32_t* FieldOfItem(const LiveValues& values, std::uint8_t code);

}  // namespace vorelle
