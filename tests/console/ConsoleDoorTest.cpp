#include "console/ConsoleDoor.h"
#include "support/SimLinkFixture.h"

#include <gtest/gtest.h>

namespace vorelle {
namespace {

// The simulated console's cable is its door's control; over USB the door
// says what the control is for.
TEST(ConsoleDoorTest, TheCableIsAControlOfTheSimulatedConsoleOnly)
{
    const std::unique_ptr<ConsoleDoor> usb = MakeConsoleDoor({});
    EXPECT_EQ(usb->Control("unplug").value_or(""), "'unplug' pulls the simulated console's cable; start with --simulate");
    // Whether this machine offers device events or not, the watch starts and stops.
    usb->WatchDevices([](DeviceEvent) {});
    usb->StopWatchingDevices();

    const std::unique_ptr<ConsoleDoor> simulated = MakeConsoleDoor({ConsoleKind::Simulated, {}}, test::kTestTimeScale);
    ASSERT_TRUE(simulated->Link().Open());
    EXPECT_FALSE(simulated->Control("unplug"));
    EXPECT_FALSE(simulated->Link().Connected());
    EXPECT_FALSE(simulated->Control("plug"));
    EXPECT_TRUE(simulated->Link().Connected()) << "unwatched, the cable reaches the link at once";
}

}  // namespace
}  // namespace vorelle
