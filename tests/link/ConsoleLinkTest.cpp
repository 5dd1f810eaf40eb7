#include "link/ConsoleLink.h"
#include "support/NamedCase.h"
#include "support/SimLinkFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <future>
#include <thread>
#include <tuple>

namespace vorelle {
namespace {

using namespace std::chrono_literals;
using test::SimLinkFixture;
using SteadyClock = std::chrono::steady_clock;

class ConsoleLinkTest : public SimLinkFixture {
protected:
    // Runs an exchange and tells how long the sender was held.
    std::pair<ExchangeResult, std::chrono::milliseconds> TimedExchange(const CommandSpec& entry)
    {
        const auto start = SteadyClock::now();
        const ExchangeResult result = link.Exchange(MakeCommand(entry), entry);
        return {result, std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - start)};
    }

    bool Answered(const CommandSpec& entry) { return link.Exchange(MakeCommand(entry), entry) == ExchangeResult::Answered; }
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
        const auto [result, held] = TimedExchange(entry);
        EXPECT_EQ(result, entry.routed ? ExchangeResult::Answered : ExchangeResult::TimedOut);
        if (!entry.routed) {
            EXPECT_GE(held, Scaled(entry.t2));
        }
        EXPECT_TRUE(link.Link().ReplyEvent.IsSet()) << "the link is left released";
        EXPECT_EQ(console.ReceivedCommands().back(), MakeCommand(entry));
    }
}

// Commands that await nothing: the table's pauses around the write, and the
// awaited reply code set, or for entering the bootloader left as it was.
TEST_F(ConsoleLinkTest, SendPausesAroundTheWriteAndSetsOrKeepsTheReplyCode)
{
    for (const auto& [entry, pendingAfter] : {std::pair{CMD_ENTER_BOOT, 0x85u}, std::pair{CMD_WRITE_BLOCK, 0u},
                                              std::pair{CMD_RUN_APP, 0u}}) {
        SCOPED_TRACE(std::string(entry.name));
        link.Link().PendingReply = 0x85;
        const auto start = SteadyClock::now();
        EXPECT_TRUE(link.Send(MakeCommand(entry), entry));
        const auto held = SteadyClock::now() - start;
        EXPECT_EQ(link.Link().PendingReply, pendingAfter);
        EXPECT_GE(held, Scaled(entry.pauseBefore) + Scaled(entry.pause));
        EXPECT_EQ(console.ReceivedCommands().back(), MakeCommand(entry));
    }
    transport.Unplug();
    link.OnDeviceChange(DeviceEvent::Removal);
    console.ClearReceived();
    EXPECT_FALSE(link.Send(MakeCommand(CMD_RUN_APP), CMD_RUN_APP));
    EXPECT_TRUE(console.ReceivedCommands().empty());
}

TEST_F(ConsoleLinkTest, LiveRecordFromTheConsoleFillsSlotZero)
{
    console.Weather().SetChannelCount(8);
    ASSERT_TRUE(Answered(CMD_READ_LIVE));
    const std::vector<std::uint8_t> record = link.Area().LiveRecord();
    EXPECT_GT(record.size(), 62u) << "the record needs both packets";
    EXPECT_EQ(record.front(), 0x01);
    EXPECT_EQ(link.Area().LiveLength(), record.size());
}

TEST_F(ConsoleLinkTest, SettingsBlockReachesSlotOneAsReceived)
{
    console.SetUnitCodes(1, 0, 2, 1, 2);
    ASSERT_TRUE(Answered(CMD_READ_SETTING));
    const ReplyArea::Slot slot = link.Area().CopySlot(ReplyArea::kSettingSlot);
    const SimulatedConsole::SettingsBlock block = console.Settings();
    EXPECT_TRUE(std::equal(block.begin(), block.end(), slot.begin()));
}

// Each block read lands in its own slot exactly: the calibration and alarm
// blocks header included, the max/min block as its payload alone.
TEST_F(ConsoleLinkTest, BlockReadsFillTheirSlotsExactlyAsRouted)
{
    for (const auto& [entry, slot, items] :
         {std::tuple{CMD_READ_CALIB, ReplyArea::kCalibSlot, console.Calibration().Encode()},
          std::tuple{CMD_READ_ALARM, ReplyArea::kAlarmSlot, console.Alarm().Encode()}}) {
        ASSERT_TRUE(Answered(entry));
        const ReplyArea::Slot stored = link.Area().CopySlot(slot);
        EXPECT_EQ(stored[0], entry.code);
        // The reply as received, header included; a block longer than one
        // report is cut at its end.
        const std::size_t carried = std::min<std::size_t>(items.size(), kReportSize - 2);
        EXPECT_EQ(stored[1], carried + 2);
        EXPECT_TRUE(std::equal(items.begin(), items.begin() + static_cast<std::ptrdiff_t>(carried), stored.begin() + 2));
        EXPECT_TRUE(std::all_of(stored.begin() + static_cast<std::ptrdiff_t>(carried) + 2, stored.end(),
                                [](std::uint8_t byte) { return byte == 0; }));
    }
    ASSERT_TRUE(Answered(CMD_READ_MAXMIN));
    const std::vector<std::uint8_t> records = console.MaxMin().Encode();
    const ReplyArea::Slot stored = link.Area().CopySlot(ReplyArea::kMaxMinSlot);
    ASSERT_FALSE(records.empty());
    EXPECT_TRUE(std::equal(records.begin(), records.end(), stored.begin()));
    EXPECT_EQ(stored[records.size()], 0) << "nothing beyond the payload";
}

TEST_F(ConsoleLinkTest, FirstLivePacketAloneTimesOutAndKeepsThePreviousRecord)
{
    console.Weather().SetChannelCount(8);
    ASSERT_TRUE(Answered(CMD_READ_LIVE));
    const std::vector<std::uint8_t> previous = link.Area().LiveRecord();
    console.Faults().firstLivePacketOnly = true;
    EXPECT_FALSE(Answered(CMD_READ_LIVE));
    EXPECT_EQ(link.Area().LiveRecord(), previous) << "half a record never reaches slot 0";
    console.Faults().firstLivePacketOnly = false;
    // The stray first packet of the failed exchange is not joined to the next.
    ASSERT_TRUE(Answered(CMD_READ_LIVE));
    EXPECT_EQ(link.Area().LiveRecord().front(), 0x01);
}

TEST_F(ConsoleLinkTest, LateReplyIsStillRoutedByTheCodeLastSet)
{
    console.SetUnitCodes(1, 1, 1, 1, 1);
    console.Faults().lateReplyMs = 4000;  // twice the reply wait
    EXPECT_FALSE(Answered(CMD_READ_SETTING));
    EXPECT_EQ(link.Link().PendingReply, CMD_READ_SETTING.reply);
    const auto deadline = SteadyClock::now() + 5s;
    while (link.Area().CopySlot(ReplyArea::kSettingSlot)[0] != 0x02 && SteadyClock::now() < deadline)
        std::this_thread::sleep_for(5ms);
    EXPECT_EQ(link.Area().CopySlot(ReplyArea::kSettingSlot)[2], 1);
    EXPECT_EQ(link.Link().PendingReply, 0u);
}

TEST_F(ConsoleLinkTest, ReplyWithAnotherCodeIsDroppedNeverStored)
{
    ASSERT_TRUE(Answered(CMD_READ_SETTING));
    const ReplyArea::Slot before = link.Area().CopySlot(ReplyArea::kSettingSlot);
    console.Faults().wrongCode = true;
    EXPECT_EQ(link.Exchange(MakeCommand(CMD_READ_SETTING), CMD_READ_SETTING), ExchangeResult::TimedOut);
    EXPECT_EQ(link.Area().CopySlot(ReplyArea::kSettingSlot), before);
    EXPECT_EQ(link.Router().DroppedReports(), 1u);
}

// The stale reply of a timed-out read must not pass for the screen check's
// answer: the console is on a sub-screen and the write must not go out.
TEST_F(ConsoleLinkTest, LateReplyOfAnEarlierReadNeverPassesTheScreenCheck)
{
    ScreenFlag flag{1};
    link.Router().AddScreenFlag(flag);
    console.SetMainScreen(false);
    console.Faults().lateReplyMs = 2500;  // the settings read's reply comes after its 2000 ms wait
    EXPECT_EQ(link.Exchange(MakeCommand(CMD_READ_SETTING), CMD_READ_SETTING), ExchangeResult::TimedOut);
    console.Faults().noReply = true;  // the check itself goes unanswered...
    console.Faults().lateReplyMs = 0;
    // ...while the late settings reply (byte 2 = 0) arrives during the check.
    EXPECT_EQ(link.WriteAfterScreenCheck(MakeCommand(CMD_WRITE_ITEMS), CMD_WRITE_ITEMS, flag,
                                         ScreenCheckTiming{50, 5000}),
              ScreenCheckedWriteResult::NotMainScreen);
    EXPECT_TRUE(console.ReceivedCommands(CMD_WRITE_ITEMS.code).empty());
    EXPECT_GE(link.Router().DroppedReports(), 1u);
    link.Router().RemoveScreenFlag(flag);
}

TEST_F(ConsoleLinkTest, BadLengthByteTimesOutAndLeavesTheSlot)
{
    ASSERT_TRUE(Answered(CMD_READ_LIVE));
    const std::vector<std::uint8_t> before = link.Area().LiveRecord();
    console.Faults().badLength = true;
    EXPECT_FALSE(Answered(CMD_READ_LIVE));
    EXPECT_EQ(link.Area().LiveRecord(), before);
    EXPECT_GE(link.Router().DroppedReports(), 2u);
}

struct ScreenCase : test::NamedCase {
    bool mainScreen;
    bool silent;
    ScreenCheckedWriteResult expected;
};

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
                         test::CaseName{});

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

// A silent console holds a sender for the whole 8 s reply wait unless
// something releases it: the console's removal, or the program ending.
struct ReleaseCase : test::NamedCase {
    std::function<void(SimTransport&, ConsoleLink&)> release;
    ExchangeResult expected;
};

class ReleaseTest : public ::testing::TestWithParam<ReleaseCase> {};

TEST_P(ReleaseTest, AWaitingSenderIsReleasedAtOnceAndToldWhy)
{
    SimulatedConsole console;
    SimTransport transport(console);
    ConsoleLink link(transport);  // real time
    ASSERT_TRUE(link.Open());
    console.Faults().noReply = true;

    auto sender = std::async(std::launch::async, [&] { return link.Exchange(MakeCommand(CMD_SOFT_VER), CMD_SOFT_VER); });
    while (console.ReceivedCommands().empty())
        std::this_thread::sleep_for(1ms);
    GetParam().release(transport, link);
    ASSERT_EQ(sender.wait_for(4s), std::future_status::ready) << "still held";
    EXPECT_EQ(sender.get(), GetParam().expected);

    // Whatever follows returns at once without sending anything.
    console.ClearReceived();
    EXPECT_NE(link.Exchange(MakeCommand(CMD_READ_LIVE), CMD_READ_LIVE), ExchangeResult::Answered);
    EXPECT_TRUE(console.ReceivedCommands().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Releases, ReleaseTest,
    ::testing::Values(ReleaseCase{"Unplugged",
                                  [](SimTransport& transport, ConsoleLink& link) {
                                      transport.Unplug();
                                      link.OnDeviceChange(DeviceEvent::Removal);  // the link may have noticed first
                                  },
                                  ExchangeResult::ConsoleGoneAfterSending},
                      // No notification at all, as for a program without one:
                      // the link notices by itself.
                      ReleaseCase{"UnpluggedUnnoticed",
                                  [](SimTransport& transport, ConsoleLink&) { transport.Unplug(); },
                                  ExchangeResult::ConsoleGoneAfterSending},
                      ReleaseCase{"ProgramEnding", [](SimTransport&, ConsoleLink& link) { link.Abandon(); },
                                  ExchangeResult::Abandoned}),
    test::CaseName{});

// A write whose answer is never routed waits its whole reply wait; a console
// pulled in that time may or may not have taken it, and the sender is told so.
TEST(ConsoleLinkGoneTest, AConsolePulledAfterTheWriteLeftMakesTheOutcomeUncertain)
{
    SimulatedConsole console;
    SimTransport transport(console);
    ConsoleLink link(transport);  // real time: the write's reply wait is 500 ms
    ASSERT_TRUE(link.Open());
    ScreenFlag flag{1};
    link.Router().AddScreenFlag(flag);
    std::jthread puller([&] {
        while (console.ReceivedCommands(CMD_WRITE_CALIB.code).empty())
            std::this_thread::sleep_for(1ms);
        transport.Unplug();
        link.OnDeviceChange(DeviceEvent::Removal);
    });
    EXPECT_EQ(link.WriteAfterScreenCheck(MakeCommand(CMD_WRITE_CALIB), CMD_WRITE_CALIB, flag),
              ScreenCheckedWriteResult::GoneDuringWrite);
    link.Router().RemoveScreenFlag(flag);
}

TEST_F(ConsoleLinkTest, WithoutAConsoleAnExchangeSendsNothingAndReturnsAtOnce)
{
    transport.Unplug();
    link.OnDeviceChange(DeviceEvent::Removal);
    console.ClearReceived();
    const auto [result, held] = TimedExchange(CMD_SOFT_VER);
    EXPECT_EQ(result, ExchangeResult::NotConnected);
    EXPECT_LT(held, Scaled(CMD_SOFT_VER.t1)) << "neither T1 nor T2 was waited";
    ScreenFlag mainScreen{0};
    EXPECT_EQ(link.WriteAfterScreenCheck(MakeCommand(CMD_WRITE_SETTING), CMD_WRITE_SETTING, mainScreen),
              ScreenCheckedWriteResult::NotConnected);
    EXPECT_TRUE(console.ReceivedCommands().empty());
}

// hidraw gives every open handle its own copy of each input report; a reopen
// or a quick replug must never cost a reply.
TEST_F(ConsoleLinkTest, EveryExchangeIsAnsweredAfterAReopenOrAQuickReplug)
{
    const std::function<void()> disturbances[] = {
        [&] { ASSERT_TRUE(link.Open()); },
        [&] {
            transport.Unplug();
            link.OnDeviceChange(DeviceEvent::Removal);
            transport.Plug();
            link.OnDeviceChange(DeviceEvent::Arrival);
        },
    };
    for (const auto& disturb : disturbances) {
        disturb();
        ASSERT_TRUE(link.Connected());
        for (int i = 0; i < 20; ++i)
            EXPECT_TRUE(Answered(CMD_READ_SETTING)) << "exchange " << i;
    }
}

TEST_F(ConsoleLinkTest, AConsoleThatCannotBeOpenedIsNamedWithTheFix)
{
    transport.RefuseOpening(SimTransport::kConsolePath, "Permission denied");
    EXPECT_FALSE(link.Open());
    const std::optional<OpenProblem> problem = link.Link().LastOpenProblem();
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->path, SimTransport::kConsolePath);
    const std::string text = DescribeOpenProblem(*problem);
    EXPECT_NE(text.find("Permission denied"), std::string::npos) << text;
    EXPECT_NE(text.find("udev rule"), std::string::npos) << text;

    transport.RefuseOpening(SimTransport::kConsolePath, "");
    EXPECT_TRUE(link.Open());
    EXPECT_FALSE(link.Link().LastOpenProblem().has_value());
}

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
