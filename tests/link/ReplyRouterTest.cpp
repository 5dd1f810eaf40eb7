#include "link/ReplyRouter.h"
#include "sim/SimTransport.h"
#include "support/NamedCase.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

namespace vorelle {
namespace {

Report MakeReply(std::uint8_t code, const std::vector<std::uint8_t>& payload)
{
    Report report{};
    report[0] = code;
    report[1] = static_cast<std::uint8_t>(payload.size() + 2);
    std::copy(payload.begin(), payload.end(), report.begin() + 2);
    return report;
}

std::vector<std::uint8_t> Sequence(std::size_t count, std::uint8_t first)
{
    std::vector<std::uint8_t> bytes(count);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

struct RecordingSink : RecordingReplySink {
    std::vector<Report> entries;
    std::vector<std::uint8_t> data;
    std::size_t expected = 0;
    int ends = 0;
    bool endEndsExchange = true;
    int deleteResult = -1;

    void OnFileListEntry(const Report& report) override { entries.push_back(report); }
    bool OnFileData(const std::uint8_t* bytes, std::size_t count) override
    {
        data.insert(data.end(), bytes, bytes + count);
        return data.size() == expected;
    }
    bool OnFileDataEnd() override
    {
        ++ends;
        return endEndsExchange;
    }
    void OnDeleteResult(std::uint8_t result) override { deleteResult = result; }
};

struct FirmwareSink : FirmwareReplySink {
    std::vector<std::uint8_t> version, erase, readBack;
    std::uint32_t lastAddress = 0;
    void OnVersionReply(const std::uint8_t* report, std::size_t count) override { version.assign(report, report + count); }
    void OnEraseReply(const std::uint8_t* report, std::size_t count) override { erase.assign(report, report + count); }
    void OnReadBack(std::uint32_t address, const std::uint8_t* data, std::size_t count) override
    {
        lastAddress = address;
        readBack.assign(data, data + count);
    }
};

// The router alone, fed by hand; no read thread runs.
class ReplyRouterTest : public ::testing::Test {
protected:
    ReplyRouterTest() : link(transport), router(link, area)
    {
        router.SetRecordingSink(&recordings);
        router.SetFirmwareSink(&firmware);
    }

    // An exchange in progress: the sender has reset the event and set R.
    void Expect(std::uint32_t reply)
    {
        link.ReplyEvent.Reset();
        router.BeginExchange(reply);
    }

    void Route(const Report& report, std::size_t transferred = kWireReportSize) { router.RouteReply(report, transferred); }
    bool Completed() const { return link.ReplyEvent.IsSet(); }

    SimTransport transport;
    HidLink link;
    ReplyArea area;
    ReplyRouter router;
    RecordingSink recordings;
    FirmwareSink firmware;
};

TEST_F(ReplyRouterTest, LiveRecordIsJoinedFromTwoPacketsInOrder)
{
    const std::vector<std::uint8_t> record = Sequence(69, 1);
    Expect(0x01);
    Route(MakeReply(0x01, {record.begin(), record.begin() + 40}));
    EXPECT_FALSE(Completed());
    EXPECT_EQ(link.PendingReply, 0x01u);
    EXPECT_EQ(area.LiveLength(), ReplyArea::kInitialLiveLength) << "slot 0 waits for the whole record";
    EXPECT_EQ(area.LiveRecord(), std::vector<std::uint8_t>(ReplyArea::kInitialLiveLength, 0));
    Route(MakeReply(0x01, {record.begin() + 40, record.end()}));
    EXPECT_TRUE(Completed());
    EXPECT_EQ(link.PendingReply, 0u);
    EXPECT_EQ(area.LiveLength(), 69u);
    EXPECT_EQ(area.LiveRecord(), record);
}

TEST_F(ReplyRouterTest, NewLiveExchangeForgetsAHalfAssembledRecord)
{
    Expect(0x01);
    Route(MakeReply(0x01, Sequence(40, 1)));
    // The second packet never came; the next exchange starts over.
    Expect(0x01);
    Route(MakeReply(0x01, Sequence(30, 100)));
    EXPECT_FALSE(Completed());
    Route(MakeReply(0x01, Sequence(10, 200)));
    EXPECT_TRUE(Completed());
    std::vector<std::uint8_t> expected = Sequence(30, 100);
    const std::vector<std::uint8_t> tail = Sequence(10, 200);
    expected.insert(expected.end(), tail.begin(), tail.end());
    EXPECT_EQ(area.LiveRecord(), expected);
}

// A report that does not echo the awaited code is a stale answer to an
// earlier exchange: it is counted and goes nowhere, whichever slot or flag
// its own code would name.
TEST_F(ReplyRouterTest, AReplyWithAnotherCodeIsDroppedNeverStoredOrSignalled)
{
    ScreenFlag flag{1};
    router.AddScreenFlag(flag);
    for (const std::uint32_t pending : {0x01u, 0x02u, 0x08u, 0x0Au, 0x0Bu, 0x0Cu, 0x20u, 0x80u, 0x85u}) {
        SCOPED_TRACE(pending);
        for (const std::uint8_t stale : {0x00, 0x02, 0x06, 0x20, 0x42}) {
            if (stale == pending)
                continue;
            const std::uint64_t droppedBefore = router.DroppedReports();
            Expect(pending);
            Route(MakeReply(stale, {0, 0, 0, 0, 9, 0, 0, 0}));
            EXPECT_FALSE(Completed());
            EXPECT_EQ(link.PendingReply, pending);
            EXPECT_EQ(router.DroppedReports(), droppedBefore + 1);
        }
    }
    EXPECT_EQ(flag, 1u);
    for (const std::size_t slot : {ReplyArea::kLiveSlot, ReplyArea::kSettingSlot, ReplyArea::kMaxMinSlot})
        EXPECT_EQ(area.CopySlot(slot), ReplyArea::Slot{});
    EXPECT_TRUE(recordings.entries.empty());
    EXPECT_TRUE(recordings.data.empty());
    EXPECT_EQ(recordings.deleteResult, -1);
    EXPECT_TRUE(firmware.version.empty());
    EXPECT_TRUE(firmware.readBack.empty());
    router.RemoveScreenFlag(flag);
}

struct SlotCase : test::NamedCase {
    std::uint32_t reply;
    std::size_t slot;
    bool headerIncluded;
};

class SlotRoutingTest : public ReplyRouterTest, public ::testing::WithParamInterface<SlotCase> {};

TEST_P(SlotRoutingTest, StoresTheReplyInItsSlot)
{
    const SlotCase c = GetParam();
    const Report reply = MakeReply(static_cast<std::uint8_t>(c.reply), Sequence(30, 9));
    Expect(c.reply);
    Route(reply);
    EXPECT_TRUE(Completed());
    EXPECT_EQ(link.PendingReply, 0u);
    const ReplyArea::Slot slot = area.CopySlot(c.slot);
    if (c.headerIncluded) {
        EXPECT_TRUE(std::equal(reply.begin(), reply.end(), slot.begin()));
    } else {
        EXPECT_TRUE(std::equal(reply.begin() + 2, reply.begin() + 32, slot.begin()));
        EXPECT_EQ(slot[30], 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Slots, SlotRoutingTest,
                         ::testing::Values(SlotCase{"ReadSetting", 0x02, ReplyArea::kSettingSlot, true},
                                           SlotCase{"ReadCalib", 0x04, ReplyArea::kCalibSlot, true},
                                           SlotCase{"ReadAlarm", 0x06, ReplyArea::kAlarmSlot, true},
                                           SlotCase{"ReadMaxMin", 0x08, ReplyArea::kMaxMinSlot, false}),
                         test::CaseName{});

struct SignalCase : test::NamedCase {
    std::uint32_t reply;
    bool signals;
    bool clearsPending;
};

class SignalOnlyTest : public ReplyRouterTest, public ::testing::WithParamInterface<SignalCase> {};

TEST_P(SignalOnlyTest, SignalsAndClearsAsTheTableSays)
{
    const SignalCase c = GetParam();
    Expect(c.reply);
    Route(MakeReply(static_cast<std::uint8_t>(c.reply), {0}));
    EXPECT_EQ(Completed(), c.signals);
    EXPECT_EQ(link.PendingReply == 0, c.clearsPending);
}

INSTANTIATE_TEST_SUITE_P(Rows, SignalOnlyTest,
                         ::testing::Values(SignalCase{"WriteSetting", 0x03, true, false},
                                           SignalCase{"WriteItems", 0x0D, true, false},
                                           SignalCase{"WriteMaxMin", 0x09, true, true},
                                           SignalCase{"WriteCalib", 0x05, false, false},
                                           SignalCase{"WriteAlarm", 0x07, false, false},
                                           SignalCase{"WriteGprs1", 0x12, false, false},
                                           SignalCase{"WriteGprs2", 0x14, false, false},
                                           SignalCase{"Reset", 0x88, false, false},
                                           SignalCase{"MsgTest", 0x8A, false, false},
                                           SignalCase{"WriteSms", 0xF6, false, false},
                                           SignalCase{"CodeZero", 0x00, false, true}),
                         test::CaseName{});

TEST_F(ReplyRouterTest, FileListingEndsOnAZeroNameLengthEvenFirst)
{
    Expect(0x0A);
    Route(MakeReply(0x0A, {0, 0, 0x10, 0, 0}));
    EXPECT_TRUE(Completed());
    EXPECT_EQ(link.PendingReply, 0u);
    EXPECT_TRUE(recordings.entries.empty());
}

TEST_F(ReplyRouterTest, FileListingHandsOverEachEntryUntilTheEnd)
{
    Expect(0x0A);
    const Report first = MakeReply(0x0A, {0, 0, 0x01, 0x00, 3, 'a', 'b', 'c'});
    Route(first);
    Route(MakeReply(0x0A, {0, 0, 0x02, 0x00, 1, 'z'}));
    EXPECT_FALSE(Completed());
    ASSERT_EQ(recordings.entries.size(), 2u);
    EXPECT_EQ(recordings.entries[0], first);
    Route(MakeReply(0x0A, {0, 0, 0, 0, 0}));
    EXPECT_TRUE(Completed());
}

TEST_F(ReplyRouterTest, FileDataPacketOfSixtyBytesIsNotTheLast)
{
    recordings.expected = 1000;
    Expect(0x0B);
    std::vector<std::uint8_t> packet{60};
    const std::vector<std::uint8_t> data = Sequence(60, 0);
    packet.insert(packet.end(), data.begin(), data.end());
    Route(MakeReply(0x0B, packet));
    EXPECT_FALSE(Completed());
    EXPECT_EQ(recordings.ends, 0);
    EXPECT_EQ(recordings.data, data);

    std::vector<std::uint8_t> last{59};
    last.resize(60, 0xAB);
    Route(MakeReply(0x0B, last));
    EXPECT_TRUE(Completed());
    EXPECT_EQ(recordings.ends, 1);
    EXPECT_EQ(recordings.data.size(), 119u);
}

TEST_F(ReplyRouterTest, ASinkThatSeesAStreamOutKeepsTheExchangeOpenPastTheShortPacket)
{
    recordings.expected = 1000;
    recordings.endEndsExchange = false;
    Expect(0x0B);
    Route(MakeReply(0x0B, {3, 1, 2, 3}));
    EXPECT_FALSE(Completed());
    EXPECT_EQ(recordings.ends, 1);
    Route(MakeReply(0x0B, {0}));
    EXPECT_EQ(recordings.ends, 2) << "still routed";
}

TEST_F(ReplyRouterTest, FullFileDataPacketsEndWhenTheExpectedSizeIsReached)
{
    recordings.expected = 120;
    Expect(0x0B);
    std::vector<std::uint8_t> packet{60};
    packet.resize(61, 0x33);
    Route(MakeReply(0x0B, packet));
    EXPECT_FALSE(Completed());
    Route(MakeReply(0x0B, packet));
    EXPECT_TRUE(Completed());
    EXPECT_EQ(recordings.ends, 0);
}

TEST_F(ReplyRouterTest, DeleteResultAndScreenFlagTakeByteTwo)
{
    Expect(0x0C);
    Route(MakeReply(0x0C, {1}));
    EXPECT_TRUE(Completed());
    EXPECT_EQ(recordings.deleteResult, 1);

    ScreenFlag basic{1};
    ScreenFlag rain{1};
    router.AddScreenFlag(basic);
    router.AddScreenFlag(rain);
    Expect(0x20);
    Route(MakeReply(0x20, {0}));
    EXPECT_TRUE(Completed());
    EXPECT_EQ(basic, 0u);
    EXPECT_EQ(rain, 0u);

    router.RemoveScreenFlag(rain);
    Expect(0x20);
    Route(MakeReply(0x20, {1}));
    EXPECT_EQ(basic, 1u);
    EXPECT_EQ(rain, 0u) << "a removed flag is never written again";
}

TEST_F(ReplyRouterTest, FirmwareRepliesGoToTheFirmwareSink)
{
    Expect(0x80);
    const std::string text = "Bootloader";
    std::vector<std::uint8_t> payload{static_cast<std::uint8_t>(text.size())};
    payload.insert(payload.end(), text.begin(), text.end());
    Route(MakeReply(0x80, payload));
    EXPECT_TRUE(Completed());
    ASSERT_EQ(firmware.version.size(), 64u);
    EXPECT_EQ(firmware.version[2], text.size());

    Expect(0x82);
    Route(MakeReply(0x82, {0}));
    EXPECT_EQ(firmware.erase[2], 0);

    Expect(0x85);
    Report readBack{};
    readBack[0] = 0x85;
    readBack[1] = 0x00;
    readBack[2] = 0x18;
    readBack[5] = 3;
    readBack[8] = 0xDE;
    readBack[9] = 0xAD;
    readBack[10] = 0xBE;
    Route(readBack);
    EXPECT_TRUE(Completed());
    EXPECT_EQ(link.PendingReply, 0x85u) << "the read-back keeps expecting replies";
    EXPECT_EQ(firmware.lastAddress, 0x1800u);
    EXPECT_EQ(firmware.readBack, (std::vector<std::uint8_t>{0xDE, 0xAD, 0xBE}));
}

// Reports whose own counts run past what arrived are dropped whole: nothing
// stored, nobody signalled.
struct MalformedCase : test::NamedCase {
    std::uint32_t reply;
    std::size_t lengthAt;
    std::uint8_t length;
    std::size_t transferred;
};

class MalformedReportTest : public ReplyRouterTest, public ::testing::WithParamInterface<MalformedCase> {};

TEST_P(MalformedReportTest, IsDroppedWithoutTouchingAnything)
{
    const MalformedCase c = GetParam();
    Report report{};
    report.fill(0x5A);
    report[0] = static_cast<std::uint8_t>(c.reply);
    report[c.lengthAt] = c.length;
    Expect(c.reply);
    Route(report, c.transferred);
    EXPECT_FALSE(Completed());
    EXPECT_EQ(link.PendingReply, c.reply);
    EXPECT_EQ(area.CopySlot(ReplyArea::kLiveSlot), ReplyArea::Slot{});
    EXPECT_EQ(area.CopySlot(ReplyArea::kMaxMinSlot), ReplyArea::Slot{});
    EXPECT_EQ(area.LiveLength(), ReplyArea::kInitialLiveLength);
    EXPECT_TRUE(recordings.data.empty());
    EXPECT_TRUE(firmware.readBack.empty());
    EXPECT_EQ(router.DroppedReports(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, MalformedReportTest,
    ::testing::Values(MalformedCase{"LiveLengthZero", 0x01, 1, 0, 65}, MalformedCase{"LiveLengthOne", 0x01, 1, 1, 65},
                      MalformedCase{"LiveLengthBeyondReport", 0x01, 1, 65, 65},
                      MalformedCase{"LiveLengthBeyondShortTransfer", 0x01, 1, 20, 10},
                      MalformedCase{"MaxMinLength255", 0x08, 1, 255, 65},
                      MalformedCase{"MaxMinLengthOne", 0x08, 1, 1, 65},
                      MalformedCase{"FileDataCountBeyondReport", 0x0B, 2, 62, 65},
                      MalformedCase{"FileDataCountBeyondShortTransfer", 0x0B, 2, 30, 20},
                      MalformedCase{"ReadBackCountBeyondReport", 0x85, 5, 57, 65},
                      MalformedCase{"ScreenReplyTooShort", 0x20, 1, 3, 2}),
    test::CaseName{});

TEST_F(ReplyRouterTest, AFullReportCarriesAtMostSixtyTwoPayloadBytes)
{
    Expect(0x08);
    Report report{};
    report[0] = 0x08;
    report[1] = 64;
    report.back() = 0x77;
    Route(report);
    EXPECT_TRUE(Completed());
    EXPECT_EQ(area.CopySlot(ReplyArea::kMaxMinSlot)[61], 0x77);
}

}  // namespace
}  // namespace vorelle
