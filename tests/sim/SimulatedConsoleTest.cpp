#include "link/Commands.h"
#include "support/SimLinkFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace vorelle {
namespace {

using test::SimLinkFixture;

struct CapturingFirmwareSink : FirmwareReplySink {
    std::string version;
    int eraseStatus = -1;
    std::vector<std::uint8_t> readBack;
    std::uint32_t address = 0;

    void OnVersionReply(const std::uint8_t* report, std::size_t count) override
    {
        const std::size_t length = std::min<std::size_t>(report[2], count - 3);
        version.assign(report + 3, report + 3 + length);
    }
    void OnEraseReply(const std::uint8_t* report, std::size_t) override { eraseStatus = report[2]; }
    void OnReadBack(std::uint32_t wordAddress, const std::uint8_t* data, std::size_t count) override
    {
        address = wordAddress;
        readBack.assign(data, data + count);
    }
};

class SimulatedConsoleTest : public SimLinkFixture {};

TEST_F(SimulatedConsoleTest, SettingsWriteChangesTheBlockTheNextReadReturns)
{
    Report write = MakeCommand(CMD_WRITE_SETTING);
    const std::uint8_t fields[] = {12, 1, 0, 3, 1, 2, 0, 13, 30, 255, 2};
    std::copy(std::begin(fields), std::end(fields), write.begin() + 1);
    ASSERT_EQ(link.Exchange(write, CMD_WRITE_SETTING), ExchangeResult::Answered);
    ASSERT_EQ(link.Exchange(MakeCommand(CMD_READ_SETTING), CMD_READ_SETTING), ExchangeResult::Answered);
    const ReplyArea::Slot slot = link.Area().CopySlot(ReplyArea::kSettingSlot);
    EXPECT_EQ(slot[2], 1);    // °F
    EXPECT_EQ(slot[3], 0);    // inHg
    EXPECT_EQ(slot[4], 3);    // mph
    EXPECT_EQ(slot[5], 1);    // in
    EXPECT_EQ(slot[6], 2);    // fc
    EXPECT_EQ(slot[7], 0);    // no daylight saving
    EXPECT_EQ(slot[8], 13);   // Arizona
    EXPECT_EQ(slot[10], 30);  // interval
    EXPECT_EQ(slot[11], 255); // no sensor
    EXPECT_EQ(slot[12], 2);   // 915 MHz
}

TEST_F(SimulatedConsoleTest, BootloaderTakesBlocksAndReadsThemBack)
{
    CapturingFirmwareSink sink;
    link.Router().SetFirmwareSink(&sink);

    link.Link().WriteCommand(MakeCommand(CMD_ENTER_BOOT));
    ASSERT_TRUE(console.InBootloader());
    ASSERT_EQ(link.Exchange(MakeCommand(CMD_SOFT_VER), CMD_SOFT_VER), ExchangeResult::Answered);
    EXPECT_NE(sink.version.find("Bootloader"), std::string::npos);
    ASSERT_EQ(link.Exchange(MakeCommand(CMD_ERASE_DEVICE), CMD_ERASE_DEVICE), ExchangeResult::Answered);
    EXPECT_EQ(sink.eraseStatus, 0);

    Report block = MakeCommand(CMD_WRITE_BLOCK);
    block[1] = 0x00;
    block[2] = 0x18;  // word address 0x1800, byte 0x3000
    block[5] = 3;
    block[8] = 0x11;
    block[9] = 0x22;
    block[10] = 0x33;
    link.Link().WriteCommand(block);
    EXPECT_EQ(console.Flash().at(0x3002), 0x33);

    Report read = MakeCommand(CMD_READ_BLOCK);
    read[2] = 0x18;
    read[5] = 3;
    ASSERT_EQ(link.Exchange(read, CMD_READ_BLOCK), ExchangeResult::Answered);
    EXPECT_EQ(sink.address, 0x1800u);
    EXPECT_EQ(sink.readBack, (std::vector<std::uint8_t>{0x11, 0x22, 0x33}));

    link.Link().WriteCommand(MakeCommand(CMD_RUN_APP));
    EXPECT_FALSE(console.InBootloader());
}

TEST_F(SimulatedConsoleTest, UnplugDropsUndeliveredRepliesAndOldHandlesStayDead)
{
    const std::shared_ptr<SimReplyQueue> listener = console.OpenReplies();
    console.Faults().lateReplyMs = 2000;
    link.Link().WriteCommand(MakeCommand(CMD_READ_SETTING));
    transport.Unplug();
    transport.Plug();
    console.Faults().lateReplyMs = 0;
    EXPECT_FALSE(link.Link().WriteCommand(MakeCommand(CMD_READ_SETTING))) << "the old handle died with the unplug";
    ASSERT_TRUE(link.Open());
    WireReport wire{};
    EXPECT_EQ(listener->Next(wire, std::chrono::milliseconds(50)), 0) << "the late reply was lost with the cable";
}

TEST_F(SimulatedConsoleTest, PlugListenerHearsEveryChange)
{
    std::vector<DeviceEvent> events;
    transport.SetPlugListener([&](DeviceEvent event) { events.push_back(event); });
    transport.Unplug();
    transport.Unplug();
    transport.Plug();
    EXPECT_EQ(events, (std::vector<DeviceEvent>{DeviceEvent::Removal, DeviceEvent::Arrival}));
}

}  // namespace
}  // namespace vorelle
