#include "store/RecordTime.h"

#include "support/RecordStoreTesting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

namespace vorelle {
namespace {

struct TimeParseCase {
    const char* text;
    std::optional<CivilTime> dayFirst;    // read under DateOrder::DayMonthYear
    std::optional<CivilTime> monthFirst;  // read under DateOrder::MonthDayYear
};

TEST(RecordTimeTest, ReadsDatesAndTimesWithoutTheProcessLocale)
{
    const CivilTime dstGap{2024, 3, 31, 2, 30, 0};
    const TimeParseCase cases[] = {
        // Year first reads the same under either order, with any separator.
        {"2024-03-31 02:30", dstGap, dstGap},
        {"2024/3/31 2:30:00", dstGap, dstGap},
        {"2024.03.31 02:30", dstGap, dstGap},
        {"  2024-03-31   2:30:00  ", dstGap, dstGap},
        {"2024-10-27 02:59:59", CivilTime{2024, 10, 27, 2, 59, 59}, CivilTime{2024, 10, 27, 2, 59, 59}},
        {"2024-12-31", CivilTime{2024, 12, 31, 0, 0, 0}, CivilTime{2024, 12, 31, 0, 0, 0}},
        {"2024-02-29 23:59", CivilTime{2024, 2, 29, 23, 59, 0}, CivilTime{2024, 2, 29, 23, 59, 0}},
        {"1900-01-01 0:00", CivilTime{1900, 1, 1, 0, 0, 0}, CivilTime{1900, 1, 1, 0, 0, 0}},
        {"9999-12-31 23:59:59", CivilTime{9999, 12, 31, 23, 59, 59}, CivilTime{9999, 12, 31, 23, 59, 59}},
        // Year last follows the desktop's order.
        {"05/03/2024 10:00", CivilTime{2024, 3, 5, 10, 0, 0}, CivilTime{2024, 5, 3, 10, 0, 0}},
        {"5.3.2024 10:00:30", CivilTime{2024, 3, 5, 10, 0, 30}, CivilTime{2024, 5, 3, 10, 0, 30}},
        {"31/12/2024 23:00", CivilTime{2024, 12, 31, 23, 0, 0}, std::nullopt},
        {"12-31-2024 23:00", std::nullopt, CivilTime{2024, 12, 31, 23, 0, 0}},
        // Not a reading's time.
        {"", std::nullopt, std::nullopt},
        {"--", std::nullopt, std::nullopt},
        {"2023-02-29 10:00", std::nullopt, std::nullopt},
        {"2024-04-31 10:00", std::nullopt, std::nullopt},
        {"2024-13-01 10:00", std::nullopt, std::nullopt},
        {"2024-00-10 10:00", std::nullopt, std::nullopt},
        {"2024-01-01 24:00", std::nullopt, std::nullopt},
        {"2024-01-01 12:60", std::nullopt, std::nullopt},
        {"2024-01-01 12:30:60", std::nullopt, std::nullopt},
        {"2024-01-01 12:30:00.5", std::nullopt, std::nullopt},
        {"2024-01-01 1:30 PM", std::nullopt, std::nullopt},
        {"2024-01-01T12:30", std::nullopt, std::nullopt},
        {"2024-01/01 12:30", std::nullopt, std::nullopt},
        {"2024-01-01 12", std::nullopt, std::nullopt},
        {"20240-01-01", std::nullopt, std::nullopt},
        {"24-01-01 12:00", std::nullopt, std::nullopt},
        {"1899-12-31 12:00", std::nullopt, std::nullopt},
        {"12:30", std::nullopt, std::nullopt},
        {"2024-01-01 12:30,", std::nullopt, std::nullopt},
    };
    for (const TimeParseCase& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseRecordTime(c.text, DateOrder::DayMonthYear), c.dayFirst);
        EXPECT_EQ(ParseRecordTime(c.text, DateOrder::MonthDayYear), c.monthFirst);
    }
}

TEST(RecordTimeTest, AutomationDatesCountDaysFromTheEndOf1899)
{
    EXPECT_EQ(AutomationDate({1900, 1, 1, 0, 0, 0}), 2.0);
    EXPECT_EQ(AutomationDate({1900, 3, 1, 0, 0, 0}), 61.0);  // no 29 February 1900
    EXPECT_EQ(AutomationDate({2000, 1, 1, 12, 0, 0}), 36526.5);
    EXPECT_EQ(AutomationDate({2024, 1, 1, 6, 0, 0}), 45292.25);
    EXPECT_EQ(FormatRecordTime(CivilTimeOf(45292.25)), "2024-01-01 06:00:00");
    // Out of range and not-a-number values come back clamped, never garbage.
    EXPECT_EQ(CivilTimeOf(-1.0), (CivilTime{1900, 1, 1, 0, 0, 0}));
    EXPECT_EQ(CivilTimeOf(1e300), (CivilTime{9999, 12, 31, 23, 59, 59}));
    EXPECT_EQ(CivilTimeOf(std::nan("")), (CivilTime{1900, 1, 1, 0, 0, 0}));
}

TEST(RecordTimeTest, EverySecondComesBackAsItWasWrittenAndInOrder)
{
    // A walk through two centuries in steps that hit every month, leap days
    // and all hours, minutes and seconds.
    double previous = 0.0;
    for (long long step = 0; step < 50000; ++step) {
        const double seconds = static_cast<double>(step) * 126487.0;  // about 35 hours
        const CivilTime time = CivilTimeOf(AutomationDate({1900, 1, 1, 0, 0, 0}) + seconds / 86400.0);
        const double date = AutomationDate(time);
        ASSERT_EQ(CivilTimeOf(date), time) << FormatRecordTime(time);
        ASSERT_EQ(ParseRecordTime(FormatRecordTime(time), DateOrder::MonthDayYear), time);
        ASSERT_GT(date, previous) << FormatRecordTime(time);
        previous = date;
    }
}

}  // namespace
}  // namespace vorelle
