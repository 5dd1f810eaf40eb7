#include "graph/GraphTime.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace vorelle {
namespace {

TEST(GraphTimeTest, TheDefaultHour)
{
    struct Case {
        CivilTime now;
        const char* start;
        const char* end;
    };
    const Case cases[] = {
        {{2024, 6, 15, 14, 30, 5}, "2024-06-15 13:30:05", "2024-06-15 14:30:05"},
        {{2024, 1, 1, 0, 20, 0}, "2023-12-31 23:20:00", "2024-01-01 00:20:00"},
        {{2024, 3, 1, 0, 0, 0}, "2024-02-29 23:00:00", "2024-03-01 00:00:00"},
    };
    for (const Case& c : cases) {
        const TimeRange range = LastHourBefore(c.now);
        EXPECT_EQ(FormatRecordTime(range.start), c.start);
        EXPECT_EQ(FormatRecordTime(range.end), c.end);
    }
}

// The axis shows the stored wall-clock times whatever the zone the program
// runs in: on the day Berlin's clocks skip from 2:00 to 3:00, the hours
// between are labelled as the console wrote them.
TEST(GraphTimeTest, TicksAreRoundWallClockTimesOnAClockChangeDay)
{
    const char* zone = std::getenv("TZ");
    const std::string saved = zone ? zone : "";
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    const double from = ChartSeconds(CivilTime{2024, 3, 31, 0, 0, 0});
    const double to = ChartSeconds(CivilTime{2024, 3, 31, 6, 0, 0});
    const std::vector<TimeTick> ticks = TimeTicks(from, to, 7);
    std::vector<std::string> labels;
    for (const TimeTick& tick : ticks)
        labels.push_back(tick.label);
    EXPECT_EQ(labels, (std::vector<std::string>{"2024-03-31 00:00:00", "2024-03-31 01:00:00", "2024-03-31 02:00:00",
                                                "2024-03-31 03:00:00", "2024-03-31 04:00:00", "2024-03-31 05:00:00",
                                                "2024-03-31 06:00:00"}));
    if (zone)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();

    // Fewer places asked for, longer steps; a span of seconds, steps of seconds.
    EXPECT_EQ(TimeTicks(from, to, 3).size(), 3u);
    EXPECT_EQ(TimeTicks(from, from + 10, 5).front().label, "2024-03-31 00:00:00");
    EXPECT_EQ(TimeTicks(from, from + 10, 5).size(), 3u) << "every five seconds";
    EXPECT_TRUE(TimeTicks(from, from, 5).empty());
    // A year: the first of every third month.
    std::vector<std::string> quarters;
    for (const TimeTick& tick : TimeTicks(ChartSeconds(CivilTime{2023, 12, 31, 23, 59, 0}),
                                          ChartSeconds(CivilTime{2025, 1, 1, 0, 0, 0}), 5))
        quarters.push_back(tick.label);
    EXPECT_EQ(quarters, (std::vector<std::string>{"2024-01-01 00:00:00", "2024-04-01 00:00:00", "2024-07-01 00:00:00",
                                                  "2024-10-01 00:00:00", "2025-01-01 00:00:00"}));
}

}  // namespace
}  // namespace vorelle
