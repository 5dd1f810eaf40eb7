#include "settings/RainTotals.h"

#include "items/ItemCodec.h"
#include "link/Commands.h"

namespace vorelle {

namespace {

constexpr std::uint8_t kWriteItemsLength = 18;
constexpr ScreenCheckTiming kRainTotalsScreenCheck{50, 500};

bool InRange(const RainEntry& entry, std::uint32_t limit)
{
    return !entry || static_cast<std::uint32_t>(*entry) <= limit;
}

// A total as its item's value, or "no value" for one left as "--".
void PutTotal(ItemWriter& items, std::uint8_t code, const RainEntry& entry)
{
    items.Code(code);
    if (entry)
        items.Value(code, static_cast<std::uint32_t>(*entry));
    else
        items.Missing(code);
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
    ItemWriter items;
    PutTotal(items, item::RainToday, form.today);
    PutTotal(items, item::RainThisWeek, form.week);
    PutTotal(items, item::RainThisMonth, form.month);
    PutTotal(items, item::RainThisYear, form.year);
    items.CopyTo(std::span(command).subspan(2));
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
