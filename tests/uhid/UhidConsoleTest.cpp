#include "link/Commands.h"
#include "support/NamedCase.h"
#include "uhid/UhidConsole.h"
#include "uhid/UhidReports.h"

#include <gtest/gtest.h>

#include <linux/input.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <future>
#include <mutex>
#include <thread>

namespace vorelle {
namespace {

constexpr std::size_t kFullEvent = sizeof(uhid_event);

uhid_event OutputEvent(std::initializer_list<std::uint8_t> bytes, std::uint8_t rtype = UHID_OUTPUT_REPORT)
{
    uhid_event event;
    std::memset(&event, 0, sizeof event);
    event.type = UHID_OUTPUT;
    event.u.output.rtype = rtype;
    event.u.output.size = static_cast<std::uint16_t>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), event.u.output.data);
    return event;
}

struct OutputCase : test::NamedCase {
    uhid_event event;
    std::size_t received;
    bool taken;
};

uhid_event FullOutput(std::uint8_t reportId, std::size_t size)
{
    uhid_event event = OutputEvent({});
    event.u.output.size = static_cast<std::uint16_t>(size);
    for (std::size_t i = 0; i < sizeof event.u.output.data; ++i)
        event.u.output.data[i] = static_cast<std::uint8_t>(i);
    event.u.output.data[0] = reportId;
    return event;
}

uhid_event WithType(uhid_event event, std::uint32_t type)
{
    event.type = type;
    return event;
}

class OutputReportTest : public ::testing::TestWithParam<OutputCase> {};

TEST_P(OutputReportTest, TakesOnlyUnnumberedReportsThatFit)
{
    const OutputCase& c = GetParam();
    const std::optional<WireReport> report = OutputReportOf(c.event, c.received);
    ASSERT_EQ(report.has_value(), c.taken);
    if (!report)
        return;
    const std::size_t size = c.event.u.output.size;
    EXPECT_TRUE(std::equal(report->begin(), report->begin() + static_cast<std::ptrdiff_t>(size),
                           c.event.u.output.data));
    EXPECT_TRUE(std::all_of(report->begin() + static_cast<std::ptrdiff_t>(size), report->end(),
                            [](std::uint8_t b) { return b == 0; }))
        << "a short report is zero-filled";
}

INSTANTIATE_TEST_SUITE_P(
    Events, OutputReportTest,
    ::testing::Values(OutputCase{"FullReport", FullOutput(0, 65), kFullEvent, true},
                      OutputCase{"ReportIdAlone", FullOutput(0, 1), kFullEvent, true},
                      OutputCase{"ShortReport", FullOutput(0, 9), kFullEvent, true},
                      OutputCase{"NothingAtAll", FullOutput(0, 0), kFullEvent, false},
                      OutputCase{"OneByteTooMany", FullOutput(0, 66), kFullEvent, false},
                      OutputCase{"PastTheEventsData", FullOutput(0, 0xFFFF), kFullEvent, false},
                      OutputCase{"NumberedReport", FullOutput(1, 65), kFullEvent, false},
                      OutputCase{"FeatureReport", OutputEvent({0, 1, 2}, UHID_FEATURE_REPORT), kFullEvent, false},
                      OutputCase{"OtherEvent", WithType(FullOutput(0, 65), UHID_OPEN), kFullEvent, false},
                      OutputCase{"CutShort",
                                 FullOutput(0, 65), offsetof(uhid_event, u) + sizeof(uhid_output_req) - 1, false}),
    test::CaseName{});

TEST(UhidReportsTest, CreatesTheConsolesUsbIdentityAndDescriptor)
{
    const uhid_event event = CreateConsoleEvent();
    EXPECT_EQ(event.type, UHID_CREATE2);
    EXPECT_EQ(event.u.create2.bus, BUS_USB);
    EXPECT_EQ(event.u.create2.vendor, 0x0483u);
    EXPECT_EQ(event.u.create2.product, 0x5750u);
    const std::span<const std::uint8_t> descriptor = ConsoleReportDescriptor();
    ASSERT_EQ(event.u.create2.rd_size, descriptor.size());
    EXPECT_TRUE(std::equal(descriptor.begin(), descriptor.end(), event.u.create2.rd_data));
    // No Report ID item (tag 0x85) anywhere: the reports are unnumbered.
    for (std::size_t i = 0; i < descriptor.size();) {
        EXPECT_NE(descriptor[i], 0x85) << "at " << i;
        const std::size_t dataSize = (descriptor[i] & 0x03) == 3 ? 4 : (descriptor[i] & 0x03);
        i += 1 + dataSize;
    }
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(event.u.create2.name)), "Vorelle console (simulated)");
}

TEST(UhidReportsTest, RefusesFeatureRequestsAtOnceWithTheirId)
{
    uhid_event get;
    std::memset(&get, 0, sizeof get);
    get.type = UHID_GET_REPORT;
    get.u.get_report.id = 0x1234;
    const std::optional<uhid_event> getReply = RefusalOf(get, kFullEvent);
    ASSERT_TRUE(getReply);
    EXPECT_EQ(getReply->type, UHID_GET_REPORT_REPLY);
    EXPECT_EQ(getReply->u.get_report_reply.id, 0x1234u);
    EXPECT_EQ(getReply->u.get_report_reply.err, EIO);
    EXPECT_EQ(getReply->u.get_report_reply.size, 0);

    uhid_event set = WithType(get, UHID_SET_REPORT);
    set.u.set_report.id = 77;
    const std::optional<uhid_event> setReply = RefusalOf(set, kFullEvent);
    ASSERT_TRUE(setReply);
    EXPECT_EQ(setReply->type, UHID_SET_REPORT_REPLY);
    EXPECT_EQ(setReply->u.set_report_reply.id, 77u);
    EXPECT_EQ(setReply->u.set_report_reply.err, EIO);

    EXPECT_FALSE(RefusalOf(get, offsetof(uhid_event, u) + 2)) << "cut short";
    EXPECT_FALSE(RefusalOf(FullOutput(0, 65), kFullEvent));
}

// The kernel's side of /dev/uhid, played on a socket pair that keeps each
// event whole.
class UhidConsoleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, sockets_), 0);
        ASSERT_EQ(pipe2(stop_, O_CLOEXEC), 0);
    }

    void TearDown() override
    {
        for (const int fd : {sockets_[0], sockets_[1], stop_[0], stop_[1]})
            close(fd);
    }

    int DeviceSide() const { return sockets_[0]; }
    int KernelSide() const { return sockets_[1]; }

    void Send(const uhid_event& event)
    {
        ASSERT_EQ(write(KernelSide(), &event, sizeof event), static_cast<ssize_t>(sizeof event));
    }

    // The next event the device writes; its type is 0xFFFFFFFF when none
    // comes within a few seconds.
    uhid_event Next()
    {
        uhid_event event;
        std::memset(&event, 0xFF, sizeof event);
        pollfd readable{KernelSide(), POLLIN, 0};
        if (poll(&readable, 1, 5000) == 1) {
            EXPECT_EQ(read(KernelSide(), &event, sizeof event), static_cast<ssize_t>(sizeof event));
        }
        return event;
    }

    std::future<bool> Serve(UhidConsole& device)
    {
        return std::async(std::launch::async, [this, &device] {
            std::string error;
            return device.Serve(stop_[0], error);
        });
    }

    void Stop() { ASSERT_EQ(write(stop_[1], "x", 1), 1); }

    SimulatedConsole console;

private:
    int sockets_[2] = {-1, -1};
    int stop_[2] = {-1, -1};
};

Report InputReportOf(const uhid_event& event)
{
    Report report{};
    std::memcpy(report.data(), event.u.input2.data, report.size());
    return report;
}

TEST_F(UhidConsoleTest, AnswersEveryCommandAndTakesWritesByteForByte)
{
    std::mutex traceMutex;
    std::string traced;
    UhidConsole device(DeviceSide(), console, [&](char direction, const Report&) {
        std::lock_guard lock(traceMutex);
        traced += direction;
    });
    std::string error;
    ASSERT_TRUE(device.Plug(error)) << error;
    EXPECT_EQ(Next().type, UHID_CREATE2);
    std::future<bool> served = Serve(device);

    Send(OutputEvent({0, CMD_READ_SETTING.code}));
    const uhid_event settings = Next();
    ASSERT_EQ(settings.type, UHID_INPUT2);
    EXPECT_EQ(settings.u.input2.size, kReportSize);
    const SimulatedConsole::SettingsBlock block = console.Settings();
    EXPECT_TRUE(std::equal(block.begin(), block.end(), InputReportOf(settings).begin()));

    const std::initializer_list<std::uint8_t> write = {0, 0x03, 12, 1, 0, 3, 1, 2, 0, 13, 30, 255, 2};
    Send(OutputEvent(write));
    EXPECT_EQ(Next().type, UHID_INPUT2) << "the write is acknowledged";
    Report expected{};
    std::copy(write.begin() + 1, write.end(), expected.begin());
    ASSERT_EQ(console.ReceivedCommands(CMD_WRITE_SETTING.code).size(), 1u);
    EXPECT_EQ(console.ReceivedCommands(CMD_WRITE_SETTING.code)[0], expected);

    uhid_event feature;
    std::memset(&feature, 0, sizeof feature);
    feature.type = UHID_GET_REPORT;
    feature.u.get_report.id = 9;
    Send(feature);
    const uhid_event refusal = Next();
    EXPECT_EQ(refusal.type, UHID_GET_REPORT_REPLY);
    EXPECT_EQ(refusal.u.get_report_reply.id, 9u);

    Send(FullOutput(2, 65));  // a numbered report the console cannot take
    while (device.ReportsLost() == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    Stop();
    EXPECT_EQ(Next().type, UHID_DESTROY);
    EXPECT_TRUE(served.get());
    EXPECT_EQ(device.CommandsReceived(), 2u);
    EXPECT_EQ(device.RepliesSent(), 2u);
    EXPECT_EQ(device.ReportsLost(), 1u);
    std::lock_guard lock(traceMutex);
    EXPECT_EQ(traced, "><><");
}

TEST_F(UhidConsoleTest, StoppingUnplugsAndLosesTheRepliesStillOnTheirWay)
{
    console.Faults().lateReplyMs = 60000;
    UhidConsole device(DeviceSide(), console);
    std::string error;
    ASSERT_TRUE(device.Plug(error));
    EXPECT_EQ(Next().type, UHID_CREATE2);
    std::future<bool> served = Serve(device);
    Send(OutputEvent({0, CMD_READ_LIVE.code}));
    while (console.ReceivedCommands().empty())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    Stop();
    EXPECT_EQ(Next().type, UHID_DESTROY) << "no reply comes before the unplug";
    EXPECT_TRUE(served.get());
    EXPECT_EQ(device.RepliesSent(), 0u);
}

// A console whose bootloader comes back as a new device leaves the bus and
// is created anew, and the new device answers; a reply still on its way when
// the cable goes never reaches it.
TEST_F(UhidConsoleTest, TheConsolesOwnReplugDestroysAndCreatesTheDevice)
{
    console.Bootloader().Faults().reappearOnEntry = true;
    UhidConsole device(DeviceSide(), console);
    std::string error;
    ASSERT_TRUE(device.Plug(error));
    EXPECT_EQ(Next().type, UHID_CREATE2);
    std::future<bool> served = Serve(device);

    console.Faults().lateReplyMs = 60000;
    Send(OutputEvent({0, CMD_READ_SETTING.code}));
    while (console.ReceivedCommands().empty())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    console.Faults().lateReplyMs = 0;
    Send(OutputEvent({0, CMD_ENTER_BOOT.code}));
    EXPECT_EQ(Next().type, UHID_DESTROY);
    EXPECT_EQ(Next().type, UHID_CREATE2);
    EXPECT_TRUE(console.InBootloader());

    Send(OutputEvent({0, CMD_SOFT_VER.code}));
    const uhid_event version = Next();
    ASSERT_EQ(version.type, UHID_INPUT2);
    EXPECT_EQ(InputReportOf(version)[0], CMD_SOFT_VER.code) << "not the settings' late reply";
    Stop();
    EXPECT_EQ(Next().type, UHID_DESTROY);
    EXPECT_TRUE(served.get());
    EXPECT_EQ(device.RepliesSent(), 1u);
}

TEST_F(UhidConsoleTest, AFailingDeviceEndsServing)
{
    // The socket standing in for the device raises SIGPIPE when written after
    // it failed; /dev/uhid never does.
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    UhidConsole device(DeviceSide(), console);
    std::future<bool> served = Serve(device);
    shutdown(KernelSide(), SHUT_RDWR);
    EXPECT_FALSE(served.get());
    std::signal(SIGPIPE, previous);
}

}  // namespace
}  // namespace vorelle
