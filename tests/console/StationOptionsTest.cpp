#include "console/SimulatedDoor.h"
#include "link/Commands.h"

#include <gtest/gtest.h>

namespace vorelle {
namespace {

struct OptionCase {
    const char* name;
    std::vector<std::string> args;
    const char* errorSays;  // empty: taken
};

void PrintTo(const OptionCase& c, std::ostream* os) { *os << c.name; }

class StationOptionTest : public ::testing::TestWithParam<OptionCase> {};

TEST_P(StationOptionTest, TakesItsOwnOptionsAndRefusesBadValues)
{
    const OptionCase& c = GetParam();
    OptionValues values;
    StationOptions options;
    std::optional<std::string> problem = ReadOptions(c.args, kStationOptions, values);
    if (!problem)
        problem = ReadStationOptions(values, options);
    EXPECT_EQ(problem.has_value(), *c.errorSays != '\0') << problem.value_or("");
    EXPECT_NE(problem.value_or("").find(c.errorSays), std::string::npos) << problem.value_or("");
}

INSTANTIATE_TEST_SUITE_P(
    Options, StationOptionTest,
    ::testing::Values(OptionCase{"Units", {"--units", "1,0,2,1,1"}, ""},
                      OptionCase{"UnitsHighestCode", {"--units", "255,0,0,0,0"}, ""},
                      OptionCase{"UnitsTooFew", {"--units", "1,2,3"}, "five codes"},
                      OptionCase{"UnitsTooMany", {"--units", "1,2,3,4,5,6"}, "five codes"},
                      OptionCase{"UnitsPastAByte", {"--units", "256,0,0,0,0"}, "five codes"},
                      OptionCase{"UnitsWithoutValue", {"--units"}, "without its value"},
                      OptionCase{"NoChannels", {"--channels", "0"}, ""},
                      OptionCase{"EightChannels", {"--channels", "8"}, ""},
                      OptionCase{"NineChannels", {"--channels", "9"}, "0 to 8"},
                      OptionCase{"ClockToTheMinute", {"--clock", "2024-07-01T14:30"}, ""},
                      OptionCase{"ClockToTheSecond", {"--clock", "2024-02-29T23:59:59"}, ""},
                      OptionCase{"ClockOnADayThatIsNot", {"--clock", "2023-02-29T12:00"}, "exists"},
                      OptionCase{"ClockPastMidnight", {"--clock", "2024-07-01T24:00"}, "YYYY-MM-DDTHH:MM"},
                      OptionCase{"ClockWithABlank", {"--clock", "2024-07-01 14:30"}, "YYYY-MM-DDTHH:MM"},
                      OptionCase{"ClockWithASign", {"--clock", "+024-07-01T14:30"}, "YYYY-MM-DDTHH:MM"},
                      OptionCase{"ClockBeforeTheEpoch", {"--clock", "1969-12-31T23:59"}, "YYYY-MM-DDTHH:MM"},
                      OptionCase{"SomeoneElses", {"--json"}, "unknown option"},
                      OptionCase{"AWordAfterTheOptionsEnd", {"--", "--json"}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// The two live-record packets a console sends now.
std::vector<Report> LiveReplies(SimulatedConsole& console)
{
    const std::shared_ptr<SimReplyQueue> queue = console.OpenReplies();
    WireReport command{};
    command[1] = CMD_READ_LIVE.code;
    console.Receive(command);
    std::vector<Report> replies;
    WireReport wire{};
    while (queue->Next(wire, std::chrono::milliseconds(0)) > 0) {
        Report report{};
        std::copy(wire.begin() + 1, wire.end(), report.begin());
        replies.push_back(report);
    }
    return replies;
}

// What the kernel test relies on: two consoles set up by the same words give
// the same record, however often and however far apart they are read.
TEST(StationOptionsTest, SameOptionsGiveTheSameConsole)
{
    const std::vector<std::string> args = {"--units", "1,0,3,1,2", "--channels", "3", "--clock", "2024-07-01T14:30"};
    OptionValues values;
    StationOptions options;
    ASSERT_FALSE(ReadOptions(args, kStationOptions, values));
    ASSERT_FALSE(ReadStationOptions(values, options));

    SimulatedConsole first, second;
    SetUpStation(options, first);
    SetUpStation(options, second);
    EXPECT_EQ(first.Settings()[2], 1);
    EXPECT_EQ(first.Settings()[6], 2);
    EXPECT_EQ(first.Weather().ChannelCount(), 3);

    const std::vector<Report> firstRecord = LiveReplies(first);
    ASSERT_EQ(firstRecord.size(), 2u);
    LiveReplies(second);
    EXPECT_EQ(LiveReplies(second), firstRecord) << "a later reading of a standing clock is the same";
    EXPECT_EQ(LiveReplies(first), firstRecord);
}

}  // namespace
}  // namespace vorelle
