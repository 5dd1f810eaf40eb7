#include "link/ConsoleLink.h"
#include "support/SimLinkFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>

namespace vorelle {
namespace {

using namespace std::chrono_literals;
using test::SimLinkFixture;
using SteadyClock = std::chrono::steady_clock;

class ConsoleLinkTest : public SimLinkFixture {
protected:
    // Runs an exchange and tells how long the sender was held.
    std::pair<bool, std::chrono::milliseconds> TimedExchange(const CommandSpec& entry)
    {
        const auto start = SteadyClock::now();
        const bool replied = link.Exchange(MakeCommand(entry), entry);
        return {replied, std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - start)};
    }
};

// Every command the program exchanges in the console's normal mode: the
// routed ones complete when the console answers; the others hold the sender
// for their whole reply wait, although the console does answer.
TEST_F(ConsoleLinkTest, ExchangesCompleteExactlyWhenTheirReplyIsRouted)
{
    for (const CommandSpec& entry : kCommandTable) {
        if (entry.t2 == kNone || entry.code == CMD_ERASE_DEVICE.code || entry.code == CMD_READ_BLOCK.code)
            continue;  // not exchanged, or only the bootloader answers
        SCOPED_TRACE(std::string(entry.name));
        const auto [replied, held] = TimedExchange(entry);
        EXPECT_EQ(replied, entry.routed);
        if (!entry.routed) {
            EXPECT_GE(held, Scaled(entry.t2));
        }
        EXPECT_TRUE(link.Link().ReplyEvent.IsSet()) << "the link is left released";
        EXPECT_EQ(console.ReceivedCommands().back(), MakeCommand(entry));
    }
}

TEST_F(ConsoleLinkTest, LiveRecordFromTheConsoleFillsSlotZero)
{
    console.Weather().SetChannelCount(8);
    ASSERT_TRUE(link.Exchange(MakeCommand(CMD_READ_LIVE), CMD_READ_LIVE));
    const std::vector<std::uint8_t> record = link.Area().LiveRecord();
    EXPECT_GT(record.size(), 62u) << "the record needs both packets";
    EXPECT_EQ(record.front(), 0x01);
    EXPECT_EQ(link.Area().LiveLength(), record.size());
}

TEST_F(ConsoleLinkTest, SettingsBlockReachesSlotOneAsReceived)
{
    console.SetUnitCodes(1, 0, 2, 1, 2);
    ASSERT_TRUE(link.Exchange(MakeCommand(CMD_READ_SETTING), CMD_READ_SETTING));
    const ReplyArea::Slot slot = link.Area().CopySlot(ReplyArea::kSettingSlot);
    const SimulatedConsole::SettingsBlock block = console.Settings();
    EXPECT_TRUE(std::equal(block.begin(), block.end(), slot.begin()));
}

// Each block read lands in its own slot exactly: the calibration and alarm
// blocks header included, the max/min block as its payload alone.
TEST_F(ConsoleLinkTest, BlockReadsFillTheirSlotsExactlyAsRouted)
{
    for (const auto& [entry, slot] : {std::pair{CMD_READ_CALIB, ReplyArea::kCalibSlot},
                                     std::pair{CMD_READ_ALARM, ReplyArea::kAlarmSlot}}) {
        ASSERT_TRUE(link.Exchange(MakeCommand(entry), entry));
        const ReplyArea::Slot stored = link.Area().CopySlot(slot);
        EXPECT_EQ(stored[0], entry.code);
        EXPECT_EQ(stored[1], 2) << "an empty block: code and length only";
    }
    ASSERT_TRUE(link.Exchange(MakeCommand(CMD_READ_MAXMIN), CMD_READ_MAXMIN));
    const std::vector<std::uint8_t> records = console.MaxMin().Encode();
    const ReplyArea::Slot stored = link.Area().CopySlot(ReplyArea::kMaxMinSlot);
    ASSERT_FALSE(records.empty());
    EXPECT_TRUE(std::equal(records.begin(), records.end(), stored.begin()));
    EXPECT_EQ(stored[records.size()], 0) << "nothing beyond the payload";
}

TEST_F(ConsoleLinkTest, FirstLivePacketAloneTimesOutAndKeepsNothingHalfDone)
{
    console.Faults().firstLivePacketOnly = true;
    EXPECT_FALSE(link.Exchange(MakeCommand(CMD_READ_LIVE), CMD_READ_LIVE));
    console.Faults().firstLivePacketOnly = false;
    // The stray first packet of the failed exchange is not joined to the next.
    ASSERT_TRUE(link.Exchange(MakeCommand(CMD_READ_LIVE), CMD_READ_LIVE));
    EXPECT_EQ(link.Area().LiveRecord().front(), 0x01);
}

TEST_F(ConsoleLinkTest, LateReplyIsStillRoutedByTheCodeLastSet)
{
    console.SetUnitCodes(1, 1, 1, 1, 1);
    console.Faults().lateReplyMs = 4000;  // twice the reply wait
    EXPECT_FALSE(link.Exchange(MakeCommand(CMD_READ_SETTING), CMD_READ_SETTING));
    EXPECT_EQ(link.Link().PendingReply, CMD_READ_SETTING.reply);
    const auto deadline = SteadyClock::now() + 5s;
    while (link.Area().CopySlot(ReplyArea::kSettingSlot)[0] != 0x02 && SteadyClock::now() < deadline)
        std::this_thread::sleep_for(5ms);
    EXPECT_EQ(link.Area().CopySlot(ReplyArea::kSettingSlot)[2], 1);
    EXPECT_EQ(link.Link().PendingReply, 0u);
}

TEST_F(ConsoleLinkTest, ReplyWithAnotherCodeIsStoredAsTheExpectedOne)
{
    console.Faults().wrongCode = true;
    EXPECT_TRUE(link.Exchange(MakeCommand(CMD_READ_SETTING), CMD_READ_SETTING));
    EXPECT_EQ(link.Area().CopySlot(ReplyArea::kSettingSlot)[0], 0x02 ^ 0x40);
}

TEST_F(ConsoleLinkTest, BadLengthByteTimesOutAndLeavesTheSlot)
{
    ASSERT_TRUE(link.Exchange(MakeCommand(CMD_READ_LIVE), CMD_READ_LIVE));
    const std::vector<std::uint8_t> before = link.Area().LiveRecord();
    console.Faults().badLength = true;
    EXPECT_FALSE(link.Exchange(MakeCommand(CMD_READ_LIVE), CMD_READ_LIVE));
    EXPECT_EQ(link.Area().LiveRecord(), before);
    EXPECT_GE(link.Router().DroppedReports(), 2u);
}

struct ScreenCase {
    const char* name;
    bool mainScreen;
    bool silent;
    ScreenCheckedWriteResult expected;
};

void PrintTo(const ScreenCase& c, std::ostream* os) { *os << c.name; }

class ScreenCheckTest : public SimLinkFixture, public ::testing::WithParamInterface<ScreenCase> {};

TEST_P(ScreenCheckTest, DecidesWhetherTheWriteGoesOut)
{
    const ScreenCase c = GetParam();
    ScreenFlag flag{1};
    link.Router().AddScreenFlag(flag);
    console.SetMainScreen(c.mainScreen);
    console.Faults().noReply = c.silent;

    Report write = MakeCommand(CMD_WRITE_SETTING);
    write[1] = 12;
    write[2] = 1;
    EXPECT_EQ(link.WriteAfterScreenCheck(write, CMD_WRITE_SETTING, flag), c.expected);
    EXPECT_TRUE(link.Link().ReplyEvent.IsSet()) << "the link is released either way";

    const std::vector<Report> received = console.ReceivedCommands();
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.front(), MakeCommand(CMD_READ_SCREEN));
    if (c.expected == ScreenCheckedWriteResult::Written) {
        ASSERT_EQ(received.size(), 2u);
        EXPECT_EQ(received[1], write);
    } else {
        EXPECT_EQ(received.size(), 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(Outcomes, ScreenCheckTest,
                         ::testing::Values(ScreenCase{"MainScreen", true, false, ScreenCheckedWriteResult::Written},
                                           ScreenCase{"SubScreen", false, false, ScreenCheckedWriteResult::NotMainScreen},
                                           ScreenCase{"NoAnswer", true, true, ScreenCheckedWriteResult::NotMainScreen}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConsoleLinkTest, EveryWriteReachesTheConsoleByteForByte)
{
    for (const CommandSpec& entry : kCommandTable) {
        SCOPED_TRACE(std::string(entry.name));
        Report command = MakeCommand(entry);
        for (std::size_t i = 1; i < command.size(); ++i)
            command[i] = static_cast<std::uint8_t>(entry.code * 7 + i * 13);
        link.Link().WriteCommand(command);
        EXPECT_EQ(console.ReceivedCommands().back(), command);
        console.ClearReceived();
    }
}

class ConsoleLinkUnplugTest : public ::testing::TestWithParam<bool> {};

// Whether or not a device notification follows (a program without one, or
// one that comes late), the sender is released at once, and hears that the
// console did not answer.
TEST_P(ConsoleLinkUnplugTest, RemovalReleasesAWaitingSenderAtOnceWithoutAnAnswer)
{
    const bool notified = GetParam();
    SimulatedConsole console;
    SimTransport transport(console);
    ConsoleLink link(transport);  // real time: the reply wait is a whole 8 s
    ASSERT_TRUE(link.Open());
    console.Faults().noReply = true;

    const auto start = SteadyClock::now();
    auto sender = std::async(std::launch::async, [&] { return link.Exchange(MakeCommand(CMD_SOFT_VER), CMD_SOFT_VER); });
    while (console.ReceivedCommands().empty())
        std::this_thread::sleep_for(1ms);
    transport.Unplug();
    if (notified)
        link.OnDeviceChange(DeviceEvent::Removal);  // the link may have noticed first
    EXPECT_FALSE(sender.get()) << "released, not answered";
    EXPECT_LT(SteadyClock::now() - start, 4s);
    EXPECT_FALSE(link.Connected());
    EXPECT_TRUE(link.Link().ReplyEvent.IsSet());
}

INSTANTIATE_TEST_SUITE_P(Notification, ConsoleLinkUnplugTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Notified" : "NotNotified"; });

TEST_F(ConsoleLinkTest, DeviceChangesReopenOnlyWhenTheyMayMatter)
{
    EXPECT_FALSE(link.OnDeviceChange(DeviceEvent::Arrival)) << "already connected";
    transport.AddDevice("mouse", 0x046D, 0xC077);
    transport.Unplug("mouse");
    EXPECT_TRUE(link.OnDeviceChange(DeviceEvent::Removal));
    EXPECT_TRUE(link.Connected()) << "another device left; the console is still there";

    transport.Unplug();
    link.OnDeviceChange(DeviceEvent::Removal);  // reopens unless the link noticed first
    EXPECT_FALSE(link.Connected());
    EXPECT_FALSE(link.OnDeviceChange(DeviceEvent::Removal));
    transport.Plug();
    EXPECT_TRUE(link.OnDeviceChange(DeviceEvent::Arrival));
    EXPECT_TRUE(link.Connected());
}

}  // namespace
}  // namespace vorelle
