#pragma once

#include "link/HidTransport.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace vorelle {

// A reply report as the console builds it: the code, the length counting
// the code and length bytes, then the payload (cut to what fits).
Report PlainReply(std::uint8_t code, const std::vector<std::uint8_t>& payload);

// A text as the console sends it: its length, then its characters.
std::vector<std::uint8_t> CountedText(std::string_view text);

}  // namespace vorelle
