#include "live/Poller.h"
#include "support/SimLinkFixture.h"
#include "support/SteppedBeat.h"

#include <gtest/gtest.h>

namespace vorelle {
namespace {

class PollerTest : public test::SimLinkFixture {
protected:
    PollerTest() : poller(link, readings, beat, [this] { ++repaints; }) {}

    void SetUp() override
    {
        SimLinkFixture::SetUp();
        console.SetUnitCodes(1, 0, 2, 1, 1);
        poller.Start();
        beat.AwaitStart();
    }

    void TearDown() override { poller.Stop(); }

    std::size_t Polls() const { return console.ReceivedCommands(CMD_READ_LIVE.code).size(); }

    LiveReadings readings;
    test::SteppedBeat beat;
    std::atomic<int> repaints{0};
    Poller poller;
};

TEST_F(PollerTest, FirstReadingComesAfterOneSecondThenEveryNine)
{
    EXPECT_EQ(Polls(), 0u);
    beat.Advance();
    EXPECT_EQ(Polls(), 1u);
    EXPECT_EQ(console.ReceivedCommands(CMD_READ_SETTING.code).size(), 1u);
    beat.Advance(8);
    EXPECT_EQ(Polls(), 1u);
    beat.Advance();
    EXPECT_EQ(Polls(), 2u);
    beat.Advance(9);
    EXPECT_EQ(Polls(), 3u);
}

TEST_F(PollerTest, ReadingBringsTheConsolesUnitsAndValues)
{
    beat.Advance();
    const LiveReadings::Snapshot now = readings.Current();
    EXPECT_EQ(now.values.units, (UnitCodes{1, 0, 2, 1, 1}));
    EXPECT_NE(now.values.IndoorTemp, 0xFFFF);
    EXPECT_NE(now.values.WindSpeed, 0xFFFF);
    EXPECT_FALSE(now.channelsPresent);
}

TEST_F(PollerTest, RepaintIsAskedEverySecondAndAfterEachReading)
{
    beat.Advance();
    EXPECT_EQ(repaints, 2);  // the reading, then the second
    beat.Advance(3);
    EXPECT_EQ(repaints, 5);
}

TEST_F(PollerTest, OpenDialogHoldsReadingsButTheCountGoesOn)
{
    beat.Advance();
    poller.DialogOpen = true;
    beat.Advance(20);
    EXPECT_EQ(Polls(), 1u);
    poller.DialogOpen = false;
    beat.Advance();
    EXPECT_EQ(Polls(), 2u) << "a reading within a second of closing a long-open dialog";
}

TEST_F(PollerTest, CountStandsStillWhileUnconnected)
{
    beat.Advance();  // count 2 after this reading
    transport.Unplug();
    link.OnDeviceChange(DeviceEvent::Removal);
    beat.Advance(30);
    EXPECT_EQ(Polls(), 1u);
    transport.Plug();
    link.OnDeviceChange(DeviceEvent::Arrival);
    // The count resumes at 2, where the unplug found it.
    beat.Advance(8);
    EXPECT_EQ(Polls(), 1u);
    beat.Advance();
    EXPECT_EQ(Polls(), 2u);
}

TEST_F(PollerTest, UnansweredReadingShowsThePreviousRecordAgain)
{
    beat.Advance();
    const LiveReadings::Snapshot first = readings.Current();
    console.Faults().noReply = true;
    beat.Advance(9);
    EXPECT_EQ(Polls(), 2u);
    const LiveReadings::Snapshot second = readings.Current();
    EXPECT_EQ(second.values.IndoorTemp, first.values.IndoorTemp);
    EXPECT_EQ(second.values.RainThisYear, first.values.RainThisYear);
}

TEST_F(PollerTest, ChannelsAppearAndGoWithTheRecord)
{
    console.Weather().SetChannelCount(3);
    beat.Advance();
    EXPECT_TRUE(readings.Current().channelsPresent);
    EXPECT_NE(readings.Current().values.ChTemp[2], 0xFFFF);
    EXPECT_EQ(readings.Current().values.ChTemp[3], 0xFFFF);
    console.Weather().SetChannelCount(0);
    beat.Advance(9);
    EXPECT_FALSE(readings.Current().channelsPresent);
}

}  // namespace
}  // namespace vorelle
