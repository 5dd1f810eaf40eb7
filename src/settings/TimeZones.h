#pragma once

#include <array>
#include <string_view>

namespace vorelle {

inline constexpr int kTimeZoneCount = 108;
inline constexpr int kDaylightSavingRowCount = 41;

// The time-zone list of the basic settings, in the console's row order.
const std::array<std::string_view, kTimeZoneCount>& TimeZoneNames();
// Empty for a row outside the list.
std::string_view TimeZoneName(int row);

// The rows whose zone has a daylight-saving rule, ascending.
const std::array<int, kDaylightSavingRowCount>& DaylightSavingRows();
// False for a row outside the list.
bool HasDaylightSavingRule(int row);

}  // namespace vorelle
