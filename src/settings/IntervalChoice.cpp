#include "settings/IntervalChoice.h"

#include "units/NumberText.h"

namespace vorelle {

namespace {
constexpr std::int32_t kMaxHours = 24;
constexpr std::int32_t kMaxMinutes = 59;
}  // namespace

std::optional<std::uint32_t> IntervalSeconds(std::string_view typed, IntervalUnit unit)
{
    const std::int32_t count = ReadLeadingInteger(typed);
    const std::int32_t limit = unit == IntervalUnit::Hour ? kMaxHours : kMaxMinutes;
    if (count < 0 || count > limit)
        return std::nullopt;
    return static_cast<std::uint32_t>(count) * (unit == IntervalUnit::Hour ? 3600u : 60u);
}

std::string_view IntervalLimits(IntervalUnit unit)
{
    return unit == IntervalUnit::Hour ? "0 - 24 Hour" : "0 - 59 Minute";
}

}  // namespace vorelle
