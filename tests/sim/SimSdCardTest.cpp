#include "live/LiveItems.h"
#include "sim/SimulatedConsole.h"
#include "support/CardFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <set>
#include <sstream>

namespace vorelle {
namespace {

using namespace std::chrono_literals;
using test::Clock;
using test::LocalClock;

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    if (!text.empty() && text.back() == separator)
        parts.push_back("");
    return parts;
}

// A console on a clock the test sets, and one open handle's replies.
class SimSdCardTest : public ::testing::Test {
protected:
    SimSdCardTest() : console(0.0), replies(console.OpenReplies()) { At(LocalClock(2026, 5, 12, 8, 0, 30)); }

    void At(Clock::time_point time)
    {
        now = time;
        console.SetClock([this] { return now; });
    }

    std::string File(const std::string& name) const
    {
        for (const SimCardFile& file : console.Card().Files(now))
            if (file.name == name)
                return *file.content;
        return "(missing)";
    }

    void Send(const Report& command)
    {
        WireReport wire{};
        std::copy(command.begin(), command.end(), wire.begin() + 1);
        console.Receive(wire);
    }

    // The replies up to and including the first whose byte `at` is below `below`.
    std::vector<Report> RepliesUntil(std::size_t at, int below)
    {
        std::vector<Report> got;
        WireReport wire{};
        while (replies->Next(wire, 2s) > 0) {
            Report report{};
            std::copy(wire.begin() + 1, wire.end(), report.begin());
            got.push_back(report);
            if (report[at] < below)
                break;
        }
        return got;
    }

    static Report FileRequest(const std::string& name, std::uint32_t offset)
    {
        Report request{0x0B, static_cast<std::uint8_t>(11 + name.size())};
        request[2] = static_cast<std::uint8_t>(offset >> 24);
        request[3] = static_cast<std::uint8_t>(offset >> 16);
        request[4] = static_cast<std::uint8_t>(offset >> 8);
        request[5] = static_cast<std::uint8_t>(offset);
        request[10] = static_cast<std::uint8_t>(name.size());
        std::copy(name.begin(), name.end(), request.begin() + 11);
        return request;
    }

    Clock::time_point now;
    SimulatedConsole console;
    std::shared_ptr<SimReplyQueue> replies;
};

TEST_F(SimSdCardTest, ThreeDaysOfThreeRecordingsGrowingOneLinePerInterval)
{
    std::set<std::string> names;
    for (const SimCardFile& file : console.Card().Files(now))
        names.insert(file.name);
    EXPECT_EQ(names, (std::set<std::string>{"20260510.csv", "20260510CH.csv", "20260510SM.csv", "20260511.csv",
                                            "20260511CH.csv", "20260511SM.csv", "20260512.csv", "20260512CH.csv",
                                            "20260512SM.csv"}));

    const std::vector<std::string> lines = Split(File("20260512.csv"), '\n');
    ASSERT_EQ(lines.size(), 1u + 97u + 1u) << "header, 00:00 to 08:00 every 5 minutes, nothing after the last LF";
    EXPECT_EQ(lines.back(), "");
    EXPECT_EQ(Split(lines[0], ',').size(), 19u);
    for (int i = 1; i <= 97; ++i) {
        const std::vector<std::string> fields = Split(lines[static_cast<std::size_t>(i)], ',');
        ASSERT_EQ(fields.size(), 19u) << lines[static_cast<std::size_t>(i)];
        char time[32];
        std::snprintf(time, sizeof time, "2026-05-12 %02d:%02d", (i - 1) * 5 / 60, (i - 1) * 5 % 60);
        EXPECT_EQ(fields[0], time);
    }
    EXPECT_EQ(Split(File("20260511.csv"), '\n').size(), 1u + 288u + 1u) << "a whole day";

    // The card is a function of the clock: another console agrees, also one
    // whose card keeps 400 days, and five minutes later each file has grown
    // by one line, partly written at first.
    SimulatedConsole other(0.0);
    other.SetClock([this] { return now; });
    other.Card().SetDaysKept(400);
    const std::string before = File("20260512SM.csv");
    const std::vector<SimCardFile> longer = other.Card().Files(now);
    EXPECT_EQ(longer.size(), 1200u);
    for (const SimCardFile& file : longer)
        EXPECT_EQ(*file.content, names.contains(file.name) ? File(file.name) : *file.content) << file.name;
    EXPECT_TRUE(std::any_of(longer.begin(), longer.end(), [](const SimCardFile& f) { return f.name == "20250408CH.csv"; }));
    At(now + 4min + 31s);
    const std::string writing = File("20260512SM.csv");
    At(now + 2s);
    const std::string written = File("20260512SM.csv");
    EXPECT_EQ(written.substr(0, before.size()), before);
    EXPECT_EQ(written.substr(before.size()), "2026-05-12 08:05," + Split(written, '\n')[98].substr(17) + "\n");
    EXPECT_GT(writing.size(), before.size());
    EXPECT_LT(writing.size(), written.size());
    EXPECT_EQ(written.substr(0, writing.size()), writing);
}

TEST_F(SimSdCardTest, HeaderAndValuesInTheConsolesUnitsAndMissingSensorsAsDashes)
{
    console.Weather().SetChannelCount(3);
    console.Weather().SetMissing(item::OutdoorTemp, true);
    SimulatedConsole imperial(0.0);
    imperial.SetClock([this] { return now; });
    imperial.Weather().SetChannelCount(3);
    imperial.SetUnitCodes(1, 0, 3, 1, 2);

    const std::vector<std::string> metricHeader = Split(Split(File("20260512.csv"), '\n')[0], ',');
    EXPECT_EQ(metricHeader[1], "Indoor Temperature(C)");
    EXPECT_EQ(metricHeader[3], "Relative Pressure(hPa)");
    EXPECT_EQ(metricHeader[9], "Wind Speed(m/s)");
    EXPECT_EQ(metricHeader[12], "Light(lux)");
    EXPECT_EQ(metricHeader[14], "Hourly Rain(mm)");
    std::string imperialFile;
    for (const SimCardFile& file : imperial.Card().Files(now))
        if (file.name == "20260512.csv")
            imperialFile = *file.content;
    const std::vector<std::string> imperialHeader = Split(Split(imperialFile, '\n')[0], ',');
    EXPECT_EQ(imperialHeader[1], "Indoor Temperature(F)");
    EXPECT_EQ(imperialHeader[3], "Relative Pressure(inHg)");
    EXPECT_EQ(imperialHeader[9], "Wind Speed(mph)");
    EXPECT_EQ(imperialHeader[12], "Light(fc)");
    EXPECT_EQ(imperialHeader[18], "Yearly Rain(in)");

    const std::vector<std::string> metric = Split(Split(File("20260512.csv"), '\n')[50], ',');
    const std::vector<std::string> inImperial = Split(Split(imperialFile, '\n')[50], ',');
    EXPECT_NEAR(std::atof(inImperial[1].c_str()), std::atof(metric[1].c_str()) * 1.8 + 32.0, 0.11);
    EXPECT_NEAR(std::atof(inImperial[3].c_str()), std::atof(metric[3].c_str()) / 33.86388, 0.006);
    EXPECT_EQ(metric[5], "--") << "the outdoor sensor does not answer";
    EXPECT_NE(inImperial[5], "--");

    const std::vector<std::string> channels = Split(Split(File("20260512CH.csv"), '\n')[50], ',');
    ASSERT_EQ(channels.size(), 19u);
    EXPECT_NE(channels[1], "--");
    EXPECT_NE(channels[3], "--") << "channel 1's dew point";
    EXPECT_NE(channels[7], "--") << "channel 3";
    EXPECT_TRUE(std::all_of(channels.begin() + 9, channels.end(), [](const std::string& f) { return f == "--"; }));
    EXPECT_EQ(Split(Split(File("20260512SM.csv"), '\n')[50], ',')[1], "--") << "no soil sensor";
}

TEST_F(SimSdCardTest, ASettingsWriteChangesTheReadingsFromThenOn)
{
    const std::string before = File("20260512.csv");
    // °F from 08:01 on, and a reading every 15 minutes.
    At(LocalClock(2026, 5, 12, 8, 1));
    Send(Report{0x03, 12, 1, 2, 0, 0, 0, 1, 45, 15, 0, 1});
    At(LocalClock(2026, 5, 12, 9, 0, 30));
    const std::string after = File("20260512.csv");
    EXPECT_EQ(after.substr(0, before.size()), before) << "what was written stays";
    const std::vector<std::string> lines = Split(after.substr(before.size()), '\n');
    std::vector<std::string> times;
    for (const std::string& line : lines)
        if (!line.empty())
            times.push_back(line.substr(11, 5));
    EXPECT_EQ(times, (std::vector<std::string>{"08:15", "08:30", "08:45", "09:00"}));
    EXPECT_NE(Split(File("20260512.csv"), '\n')[0].find("(C)"), std::string::npos) << "the header stays";
}

TEST_F(SimSdCardTest, AFileStreamsFromTheOffsetInPacketsOfSixtyAndEndsShort)
{
    console.Card().AddFile("even.csv", std::string(120, 'e'));
    const std::string today = File("20260512.csv");
    struct Case {
        std::string name;
        std::uint32_t offset;
        std::string expected;
    };
    const std::vector<Case> cases{
        {"20260512.csv", 0, today},
        {"20260512.csv", 1000, today.substr(1000)},
        {"even.csv", 0, std::string(120, 'e')},
        {"even.csv", 500, ""},
        {"nothing.csv", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + " from " + std::to_string(c.offset));
        Send(FileRequest(c.name, c.offset));
        const std::vector<Report> packets = RepliesUntil(2, 60);
        std::string data;
        for (std::size_t i = 0; i < packets.size(); ++i) {
            const Report& p = packets[i];
            EXPECT_EQ(p[0], 0x0B);
            EXPECT_EQ(p[1], 3 + p[2]);
            EXPECT_EQ(p[2] < 60, i + 1 == packets.size()) << "only the last packet is short";
            data.append(p.begin() + 3, p.begin() + 3 + p[2]);
        }
        EXPECT_EQ(data, c.expected);
        EXPECT_EQ(packets.size(), c.expected.size() / 60 + 1);
    }
}

TEST_F(SimSdCardTest, ListingAndDeleteAnswerAsTheConsoleDoes)
{
    console.Card().AddFile(std::string(58, 'n'), "x");
    Send(Report{0x0A});
    const std::vector<Report> entries = RepliesUntil(6, 1);
    ASSERT_EQ(entries.size(), 11u) << "ten files and the end";
    std::vector<std::string> order;
    for (std::size_t i = 0; i + 1 < entries.size(); ++i) {
        const Report& e = entries[i];
        const std::size_t length = e[6];
        const std::uint32_t size = (e[2] << 24) | (e[3] << 16) | (e[4] << 8) | e[5];
        const std::string name(e.begin() + 7, e.begin() + 7 + static_cast<std::ptrdiff_t>(std::min<std::size_t>(length, 57)));
        order.push_back(name);
        if (length == 58)
            continue;  // too long for the report; the console sends it all the same
        EXPECT_EQ(size, File(name).size()) << name;
    }
    EXPECT_FALSE(std::is_sorted(order.begin(), order.end()) || std::is_sorted(order.rbegin(), order.rend()));

    const auto remove = [&](const std::string& name) {
        Report command{0x0C, static_cast<std::uint8_t>(3 + name.size()), static_cast<std::uint8_t>(name.size())};
        std::copy(name.begin(), name.end(), command.begin() + 3);
        Send(command);
        const std::vector<Report> answer = RepliesUntil(0, 256);
        return answer.empty() ? -1 : answer.front()[2];
    };
    EXPECT_EQ(remove("20260512CH.csv"), 0);
    EXPECT_EQ(File("20260512CH.csv"), "(missing)");
    EXPECT_EQ(remove("20260512CH.csv"), 1) << "no such file";
    At(now + 5min);
    EXPECT_EQ(Split(File("20260512CH.csv"), '\n').size(), 3u) << "a new file with the next reading";
    console.Card().Faults().refuseDeletes = true;
    EXPECT_EQ(remove("20260511.csv"), 1);
    EXPECT_NE(File("20260511.csv"), "(missing)");
}

}  // namespace
}  // namespace vorelle
