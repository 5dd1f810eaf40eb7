#include "settings/RainTotals.h"

#include "items/ItemCodec.h"
#include "link/Commands.h"
#include "live/LiveItems.h"
#include "settings/FormField.h"
#include "units/Formatters.h"
#include "units/Parsers.h"

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

RainTotalsFields ShowRainTotals(const LiveValues& values)
{
    const std::uint8_t unit = values.units.rain;
    return {FormatRain(unit, RainFormat::NumberOnly, values.RainToday),
            FormatRain(unit, RainFormat::NumberOnly, values.RainThisWeek),
            FormatRain(unit, RainFormat::NumberOnly, values.RainThisMonth),
            FormatRain(unit, RainFormat::NumberOnly, values.RainThisYear)};
}

RainTotalsInput ReadRainTotals(const RainTotalsFields& fields, std::uint8_t unit)
{
    std::array<RainEntry, 4> entries;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        // An empty field would read as 0 and wipe the console's total.
        if (std::optional<std::string> refusal = EmptyFieldRefusal(fields[i], kRainFieldNames[i]))
            return {{}, std::move(refusal)};
        entries[i] = RainEntryOf(fields[i], ParseRain(unit, fields[i]));
    }
    RainTotalsInput input{{entries[0], entries[1], entries[2], entries[3]}, std::nullopt};
    input.refusal = ValidateRainTotals(input.totals);
    return input;
}

SaveOutcome SaveRainTotals(ConsoleLink& link, ScreenFlag& flag, const RainTotalsFields& fields, std::uint8_t unit)
{
    const RainTotalsInput input = ReadRainTotals(fields, unit);
    if (input.refusal)
        return {SaveStatus::InvalidInput, *input.refusal};
    return SaveRainTotals(link, flag, input.totals);
}

}  // namespace vorelle
