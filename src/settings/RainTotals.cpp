#include "settings/RainTotals.h"

#include "link/Commands.h"
#include "live/LiveItems.h"

namespace vorelle {

namespace {

constexpr std::uint8_t kWriteItemsLength = 18;
constexpr ScreenCheckTiming kRainTotalsScreenCheck{50, 500};

bool InRange(const RainEntry& entry, std::uint32_t limit)
{
    return !entry || static_cast<std::uint32_t>(*entry) <= limit;
}

std::size_t PutItem(Report& command, std::size_t at, std::uint8_t code, const RainEntry& entry, std::size_t size)
{
    const std::uint32_t missing = size == 2 ? 0xFFFFu : 0xFFFFFFFFu;
    const std::uint32_t value = entry ? static_cast<std::uint32_t>(*entry) : missing;
    command[at++] = code;
    for (std::size_t i = size; i-- > 0;)
        command[at++] = static_cast<std::uint8_t>(value >> (8 * i));
    return at;
}

}  // namespace

RainEntry RainEntryOf(std::string_view text, std::int32_t parsed)
{
    if (text == "--")
        return std::nullopt;
    return parsed;
}

std::optional<std::string> ValidateRainTotals(const RainTotalsForm& form)
{
    if (!InRange(form.today, kMaxDayWeekRain))
        return std::string(kRainDayMessage);
    if (!InRange(form.week, kMaxDayWeekRain))
        return std::string(kRainWeekMessage);
    if (!InRange(form.month, kMaxMonthYearRain))
        return std::string(kRainMonthMessage);
    if (!InRange(form.year, kMaxMonthYearRain))
        return std::string(kRainYearMessage);
    return std::nullopt;
}

std::optional<Report> BuildWriteItems(const RainTotalsForm& form)
{
    if (ValidateRainTotals(form))
        return std::nullopt;
    Report command = MakeCommand(CMD_WRITE_ITEMS);
    command[1] = kWriteItemsLength;
    std::size_t at = 2;
    at = PutItem(command, at, item::RainToday, form.today, 2);
    at = PutItem(command, at, item::RainThisWeek, form.week, 2);
    at = PutItem(command, at, item::RainThisMonth, form.month, 4);
    PutItem(command, at, item::RainThisYear, form.year, 4);
    return command;
}

SaveOutcome SaveRainTotals(ConsoleLink& link, ScreenFlag& flag, const RainTotalsForm& form)
{
    if (std::optional<std::string> refusal = ValidateRainTotals(form))
        return {SaveStatus::InvalidInput, std::move(*refusal)};
    return SaveWithScreenCheck(link, flag, *BuildWriteItems(form), CMD_WRITE_ITEMS, kRainTotalsScreenCheck, kSaveSuccessText,
                               kNotConnectedNothingSavedText);
}

}  // namespace vorelle
