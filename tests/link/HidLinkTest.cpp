#include "link/HidLink.h"
#include "link/Commands.h"
#include "sim/SimTransport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace vorelle {
namespace {

constexpr double kScale = 0.05;

// A device whose reads block, like an overlapped read that completes whenever
// the device answers, until the test lets one report through; it keeps every
// report written to it.
class GatedDevice final : public HidDevice {
public:
    struct Shared {
        std::mutex mutex;
        std::condition_variable changed;
        bool release = false;
        bool reading = false;
        bool shutdown = false;
        std::vector<WireReport> written;
    };

    explicit GatedDevice(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}

    bool Write(const WireReport& report) override
    {
        std::lock_guard lock(shared_->mutex);
        shared_->written.push_back(report);
        return true;
    }

    int Read(WireReport& report, std::chrono::milliseconds) override
    {
        std::unique_lock lock(shared_->mutex);
        shared_->reading = true;
        shared_->changed.notify_all();
        shared_->changed.wait(lock, [&] { return shared_->release || shared_->shutdown; });
        if (!shared_->release)
            return 0;
        shared_->release = false;
        shared_->changed.notify_all();
        report.fill(0);
        report[1] = 0x02;
        report[2] = 5;
        return static_cast<int>(kWireReportSize);
    }

private:
    std::shared_ptr<Shared> shared_;
};

class GatedTransport final : public HidTransport {
public:
    std::vector<HidDeviceInfo> Enumerate() override
    {
        if (!present)
            return {};
        return {{"gated", kConsoleVendorId, kConsoleProductId}};
    }
    std::unique_ptr<HidDevice> OpenPath(const std::string&, std::string*) override { return std::make_unique<GatedDevice>(shared); }

    void Release()
    {
        std::lock_guard lock(shared->mutex);
        shared->release = true;
        shared->changed.notify_all();
    }

    std::atomic<bool> present{true};
    std::shared_ptr<GatedDevice::Shared> shared = std::make_shared<GatedDevice::Shared>();
};

// Declared after the link, so that blocked reads end before the link joins
// its read thread.
struct EndReadsAtExit {
    GatedTransport& transport;
    ~EndReadsAtExit()
    {
        std::lock_guard lock(transport.shared->mutex);
        transport.shared->shutdown = true;
        transport.shared->changed.notify_all();
    }
};

TEST(HidLinkTest, FirstMatchingConsoleInEnumerationOrderWins)
{
    SimulatedConsole first(kScale), second(kScale);
    SimTransport transport;
    transport.AddDevice("keyboard", 0x046D, 0xC31C);
    transport.AddDevice("other-product", kConsoleVendorId, 0x5751, &second);
    transport.AddDevice("console-a", kConsoleVendorId, kConsoleProductId, &first);
    transport.AddDevice("console-b", kConsoleVendorId, kConsoleProductId, &second);
    HidLink link(transport, kScale);

    ASSERT_TRUE(link.Open());
    EXPECT_EQ(link.DevicePath(), "console-a");
    EXPECT_TRUE(link.WriteCommand(MakeCommand(CMD_READ_SETTING)));
    EXPECT_EQ(first.ReceivedCommands().size(), 1u);
    EXPECT_TRUE(second.ReceivedCommands().empty());

    transport.Unplug("console-a");
    ASSERT_TRUE(link.Open());
    EXPECT_EQ(link.DevicePath(), "console-b");
}

TEST(HidLinkTest, ReadFindingTheConsoleGoneClosesTheLinkAndReleasesTheSender)
{
    SimulatedConsole console(kScale);
    SimTransport transport(console);
    HidLink link(transport, kScale);
    ASSERT_TRUE(link.Open());
    link.ReplyEvent.Reset();  // a sender holds the link and waits
    transport.Unplug();
    EXPECT_TRUE(link.ReplyEvent.Wait(std::chrono::seconds(10)));
    EXPECT_FALSE(link.Connected());
    EXPECT_FALSE(link.WriteCommand(MakeCommand(CMD_READ_SETTING)));
}

TEST(HidLinkTest, ReadFailureOfAnEarlierOpeningLeavesTheReopenedLinkAlone)
{
    SimulatedConsole first(kScale), second(kScale);
    SimTransport transport;
    transport.AddDevice("console-a", kConsoleVendorId, kConsoleProductId, &first);
    transport.AddDevice("console-b", kConsoleVendorId, kConsoleProductId, &second);
    // Outlives the link, whose read thread may still be routing the last reply.
    ManualResetEvent routed{false};
    HidLink link(transport, kScale);
    link.SetReportHandler([&](const Report&, std::size_t) { routed.Set(); });
    ASSERT_TRUE(link.Open());
    // One reply through console-a, so that the read thread is surely reading it.
    link.WriteCommand(MakeCommand(CMD_READ_SETTING));
    ASSERT_TRUE(routed.Wait(std::chrono::seconds(10)));
    link.ReplyEvent.Reset();
    transport.Unplug("console-a");
    ASSERT_TRUE(link.Open()) << "reopened on console-b before the read thread noticed";
    // Give the read thread time to find console-a's handle dead.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(link.Connected());
    EXPECT_FALSE(link.ReplyEvent.IsSet()) << "nobody was released for an opening that is over";
    EXPECT_TRUE(link.WriteCommand(MakeCommand(CMD_READ_SETTING)));
    EXPECT_EQ(second.ReceivedCommands().size(), 1u);
}

TEST(HidLinkTest, DeviceWithAnotherProductIdIsNeverOpened)
{
    SimulatedConsole console(kScale);
    SimTransport transport;
    transport.AddDevice("other-product", kConsoleVendorId, 0x5751, &console);
    HidLink link(transport, kScale);
    EXPECT_FALSE(link.Open());
    EXPECT_FALSE(link.WriteCommand(MakeCommand(CMD_READ_SETTING)));
    EXPECT_TRUE(console.ReceivedCommands().empty());
}

TEST(HidLinkTest, OpenAfterRemovalLeavesTheLinkClosedAndSilent)
{
    SimulatedConsole console(kScale);
    SimTransport transport(console);
    HidLink link(transport, kScale);
    ASSERT_TRUE(link.Open());
    EXPECT_TRUE(link.ReadThreadStarted());

    transport.Unplug();
    EXPECT_FALSE(link.Open());
    EXPECT_FALSE(link.Connected());
    EXPECT_FALSE(link.WriteCommand(MakeCommand(CMD_READ_SETTING)));

    transport.Plug();
    EXPECT_TRUE(link.Open());
    EXPECT_TRUE(link.WriteCommand(MakeCommand(CMD_READ_SETTING)));
    EXPECT_EQ(console.ReceivedCommands().size(), 1u);
}

TEST(HidLinkTest, WriteCommandSendsSixtyFiveBytesWithReportIdZero)
{
    GatedTransport transport;
    HidLink link(transport, kScale);
    EndReadsAtExit endReads{transport};
    ASSERT_TRUE(link.Open());
    Report command{};
    for (std::size_t i = 0; i < command.size(); ++i)
        command[i] = static_cast<std::uint8_t>(0xC0 + i);
    ASSERT_TRUE(link.WriteCommand(command));

    std::lock_guard lock(transport.shared->mutex);
    ASSERT_EQ(transport.shared->written.size(), 1u);
    const WireReport& wire = transport.shared->written[0];
    EXPECT_EQ(wire[0], 0);
    EXPECT_TRUE(std::equal(command.begin(), command.end(), wire.begin() + 1));
}

TEST(HidLinkTest, ReportCompletingAfterTheLinkWasClosedIsNeverRouted)
{
    GatedTransport transport;
    HidLink link(transport, kScale);
    EndReadsAtExit endReads{transport};
    std::atomic<int> routed{0};
    link.SetReportHandler([&](const Report&, std::size_t) { ++routed; });
    ASSERT_TRUE(link.Open());

    {
        std::unique_lock lock(transport.shared->mutex);
        transport.shared->changed.wait(lock, [&] { return transport.shared->reading; });
    }
    transport.present = false;
    EXPECT_FALSE(link.Open());
    // The read that was under way completes only now.
    transport.Release();
    {
        std::unique_lock lock(transport.shared->mutex);
        transport.shared->changed.wait(lock, [&] { return !transport.shared->release; });
    }
    // The read thread has taken the report; give it time to (wrongly) route it.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(routed, 0);
}

TEST(HidLinkTest, ReportsOfAnOpenLinkReachTheHandlerWithTheirLength)
{
    GatedTransport transport;
    HidLink link(transport, kScale);
    EndReadsAtExit endReads{transport};
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<std::pair<Report, std::size_t>> routed;
    link.SetReportHandler([&](const Report& report, std::size_t transferred) {
        std::lock_guard lock(mutex);
        routed.emplace_back(report, transferred);
        arrived.notify_all();
    });
    ASSERT_TRUE(link.Open());
    transport.Release();
    std::unique_lock lock(mutex);
    ASSERT_TRUE(arrived.wait_for(lock, std::chrono::seconds(5), [&] { return !routed.empty(); }));
    EXPECT_EQ(routed[0].second, kWireReportSize);
    EXPECT_EQ(routed[0].first[0], 0x02) << "the report id is removed";
    EXPECT_EQ(routed[0].first[1], 5);
}

}  // namespace
}  // namespace vorelle
