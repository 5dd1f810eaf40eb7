#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vorelle {

// The "Hour" / "Minute" list beside an interval field; the rows in order.
enum class IntervalUnit { Hour = 0, Minute = 1 };
inline constexpr std::array<std::string_view, 2> kIntervalUnitTexts = {"Hour", "Minute"};

// The typed interval (its leading whole number; no number reads as 0) in
// seconds, when it lies in 0 to 24 hours or 0 to 59 minutes.
std::optional<std::uint32_t> IntervalSeconds(std::string_view typed, IntervalUnit unit);

// What follows a field's name in the message refusing its interval.
std::string_view IntervalLimits(IntervalUnit unit);

}  // namespace vorelle
