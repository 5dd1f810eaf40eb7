#pragma once

#include "link/ConsoleLink.h"
#include "link/HidTransport.h"
#include "link/ReplyRouter.h"
#include "live/LiveValues.h"
#include "settings/SettingsSave.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorelle {

// One typed total in tenths of mm as the rain parser reads it; nothing for
// the text "--", which leaves the console's total as it is.
using RainEntry = std::optional<std::int32_t>;

// The rain parser gives 0xFFFF for "--" and for a real 6553.5 mm alike; only
// the text tells them apart.
RainEntry RainEntryOf(std::string_view text, std::int32_t parsed);

// The totals the rainfall totals dialog's four fields stand for.
struct RainTotalsForm {
    RainEntry today;
    RainEntry week;
    RainEntry month;
    RainEntry year;
};

inline constexpr std::uint32_t kMaxDayWeekRain = 65535;      // 6553.5 mm
inline constexpr std::uint32_t kMaxMonthYearRain = 99999;    // 9999.9 mm
inline constexpr std::string_view kRainDayMessage = "RainDay: 0  to 6553 mm / 257.9 in";
inline constexpr std::string_view kRainWeekMessage = "RainWeek: 0  to 6553 mm / 257.9 in";
inline constexpr std::string_view kRainMonthMessage = "RainMonth: 0  to 9999.9 mm / 393.66 in";
inline constexpr std::string_view kRainYearMessage = "RainYear: 0  to 9999.9 mm / 393.66 in";

// The message of the first total out of range (today, week, month, year),
// if any. A negative total is out of range.
std::optional<std::string> ValidateRainTotals(const RainTotalsForm& form);

// CMD_WRITE_ITEMS with the four totals; nothing when the form is refused. A
// missing total goes as its item's "no value" pattern (FF FF, or FF FF FF FF),
// a number as itself.
std::optional<Report> BuildWriteItems(const RainTotalsForm& form);

// Save: validate, refuse without a console, screen check (pause 50 ms, reply
// wait 500 ms), write.
SaveOutcome SaveRainTotals(ConsoleLink& link, ScreenFlag& flag, const RainTotalsForm& form);

// The dialog's four fields as typed: today, week, month, year.
using RainTotalsFields = std::array<std::string, 4>;

// The fields as messages name them: the dialog's labels.
inline constexpr std::array<std::string_view, 4> kRainFieldNames = {"Rainfall Today", "Weekly Rainfall",
                                                                    "Monthly Rainfall", "Annual Rainfall"};

// The totals of the latest reading as the dialog shows them, in its rain unit.
RainTotalsFields ShowRainTotals(const LiveValues& values);

// The totals the fields stand for, read in the rain unit `unit`, or the
// message refusing the first field that is empty, else the first total out
// of range.
struct RainTotalsInput {
    RainTotalsForm totals;
    std::optional<std::string> refusal;
};
RainTotalsInput ReadRainTotals(const RainTotalsFields& fields, std::uint8_t unit);

// Save from the fields as typed: read them, then as above.
SaveOutcome SaveRainTotals(ConsoleLink& link, ScreenFlag& flag, const RainTotalsFields& fields, std::uint8_t unit);

}  // namespace vorelle
