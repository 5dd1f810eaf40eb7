#pragma once

#include "live/LiveValues.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace vorelle {

// Decodes a live record (the assembled payload of reply 0x01) into `values`,
// item by item, until the record ends, an unknown code appears, or an item's
// value would run past the end. Fields the record does not carry are left as
// they are. Returns whether any channel item was present.
bool DecodeLive(std::span<const std::uint8_t> record, LiveValues& values);

}  // namespace vorelle
