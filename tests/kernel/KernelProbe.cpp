// The sender of the kernel HID test (scripts/kernel-hid-test): it talks to a
// console over hidapi exactly as the program does, and prints what it saw as
// key=value lines for the test to check. It runs inside the test's virtual
// machine against vorelle2-sim-uhid.
#include "link/ConsoleLink.h"
#include "link/HidapiTransport.h"
#include "live/LiveExchanges.h"
#include "settings/BasicSettings.h"

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <string>
#include <thread>
#include <vector>

namespace vorelle {
namespace {

using SteadyClock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr const char* kUsage =
    "Usage: vorelle2_kernel_probe exchanges SECONDS TIME_SCALE\n"
    "       vorelle2_kernel_probe write-settings T P W R L INTERVAL\n"
    "       vorelle2_kernel_probe unplug SIM_PID\n";

// The reply of the exchange that `unplug` interrupts would come this late at
// the earliest; the console is pulled long before.
constexpr int kInterruptedReplyWaitMs = 20000;
// How long the exchange is under way before the console is pulled.
constexpr auto kMidExchange = 300ms;
constexpr auto kReconnectPatience = 60s;
constexpr auto kArrivalPoll = 20ms;

double MillisecondsSince(SteadyClock::time_point start)
{
    return std::chrono::duration<double, std::milli>(SteadyClock::now() - start).count();
}

std::string Hex(const Report& report)
{
    std::string text;
    char byte[4];
    for (const std::uint8_t b : report) {
        std::snprintf(byte, sizeof byte, "%02x", b);
        text += text.empty() ? "" : " ";
        text += byte;
    }
    return text;
}

bool OpenOrSay(ConsoleLink& link)
{
    if (link.Open())
        return true;
    std::printf("error=no console found\n");
    return false;
}

// Live-record exchanges, one after the other, for `seconds`. The time scale
// shortens the pauses; the reply wait stays at its full length, so that a
// loaded host holding the emulated machine back counts as a slow exchange,
// not as a failed one.
int Exchanges(double seconds, double timeScale)
{
    const int fullReplyWait = static_cast<int>(CMD_READ_LIVE.t2 / timeScale);
    HidapiTransport transport;
    ConsoleLink link(transport, timeScale);
    if (!OpenOrSay(link))
        return 1;
    int answered = 0;
    int failed = 0;
    std::vector<double> roundTrips;
    const auto start = SteadyClock::now();
    const auto end = start + std::chrono::duration<double>(seconds);
    while (SteadyClock::now() < end) {
        const auto sent = SteadyClock::now();
        if (link.Exchange(MakeCommand(CMD_READ_LIVE), CMD_READ_LIVE, fullReplyWait) == ExchangeResult::Answered) {
            ++answered;
            roundTrips.push_back(MillisecondsSince(sent));
        } else {
            ++failed;
        }
    }
    const double elapsed = MillisecondsSince(start) / 1000.0;
    std::sort(roundTrips.begin(), roundTrips.end());
    const double median = roundTrips.empty() ? 0.0 : roundTrips[roundTrips.size() / 2];
    const double slowest = roundTrips.empty() ? 0.0 : roundTrips.back();
    std::printf("answered=%d\nfailed=%d\nper_second=%.1f\nmedian_ms=%.2f\nslowest_ms=%.2f\n", answered, failed,
                answered / elapsed, median, slowest);
    return failed == 0 && answered > 0 ? 0 : 1;
}

// The basic settings as the dialog's Save writes them, after reading the
// console's own.
int WriteSettings(const std::vector<std::string>& args)
{
    HidapiTransport transport;
    ConsoleLink link(transport);
    if (!OpenOrSay(link))
        return 1;
    LiveReadings readings;
    if (!ReadSettings(link, readings)) {
        std::printf("error=the settings were not read\n");
        return 1;
    }
    const ReplyArea::Slot block = link.Area().CopySlot(ReplyArea::kSettingSlot);
    BasicSettingsForm form = DecodeBasicSettings(block);
    form.temperatureRow = std::atoi(args[0].c_str());
    form.pressureRow = std::atoi(args[1].c_str());
    form.windRow = std::atoi(args[2].c_str());
    form.rainRow = std::atoi(args[3].c_str());
    form.lightRow = std::atoi(args[4].c_str());
    form.interval = args[5];
    const std::optional<Report> write = BuildWriteSetting(form);
    if (!write) {
        std::printf("error=the form was refused\n");
        return 1;
    }
    std::printf("sent=%s\n", Hex(*write).c_str());
    ScreenFlag flag{1};
    link.Router().AddScreenFlag(flag);
    const SaveOutcome outcome = SaveBasicSettings(link, flag, form);
    link.Router().RemoveScreenFlag(flag);
    std::printf("outcome=%s\n", outcome.message.c_str());
    return outcome.status == SaveStatus::Done ? 0 : 1;
}

// Pulls the console (stops vorelle2-sim-uhid) while an exchange waits for its
// reply, tells how soon the sender was released, then waits for the console
// to come back as the program does on a device arrival and exchanges again.
int Unplug(pid_t simulator)
{
    HidapiTransport transport;
    ConsoleLink link(transport);
    if (!OpenOrSay(link))
        return 1;
    auto exchange = std::async(std::launch::async, [&] {
        return link.Exchange(MakeCommand(CMD_READ_SETTING), CMD_READ_SETTING, kInterruptedReplyWaitMs);
    });
    std::this_thread::sleep_for(kMidExchange);
    if (exchange.wait_for(0s) == std::future_status::ready) {
        std::printf("error=the exchange ended before the console was pulled\n");
        return 1;
    }
    const auto pulled = SteadyClock::now();
    kill(simulator, SIGTERM);
    const ExchangeResult result = exchange.get();
    const bool answered = result == ExchangeResult::Answered;
    std::printf("released_ms=%.1f\nanswered=%d\ngone_after_sending=%d\nconnected=%d\n", MillisecondsSince(pulled),
                answered ? 1 : 0, result == ExchangeResult::ConsoleGoneAfterSending ? 1 : 0, link.Connected() ? 1 : 0);
    std::fflush(stdout);

    // The test plugs the console in again once it reads the lines above.
    const auto waiting = SteadyClock::now();
    while (!link.Connected() && SteadyClock::now() - waiting < kReconnectPatience) {
        link.OnDeviceChange(DeviceEvent::Arrival);
        std::this_thread::sleep_for(kArrivalPoll);
    }
    const bool again =
        link.Exchange(MakeCommand(CMD_READ_SETTING), CMD_READ_SETTING) == ExchangeResult::Answered;
    std::printf("reconnected=%d\nreconnect_ms=%.1f\n", again ? 1 : 0, MillisecondsSince(waiting));
    return !answered && again ? 0 : 1;
}

}  // namespace
}  // namespace vorelle

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::string command = args.empty() ? "" : args[0];
    const std::vector<std::string> rest(args.begin() + (args.empty() ? 0 : 1), args.end());
    if (command == "exchanges" && rest.size() == 2 && std::atof(rest[1].c_str()) > 0)
        return vorelle::Exchanges(std::atof(rest[0].c_str()), std::atof(rest[1].c_str()));
    if (command == "write-settings" && rest.size() == 6)
        return vorelle::WriteSettings(rest);
    if (command == "unplug" && rest.size() == 1)
        return vorelle::Unplug(static_cast<pid_t>(std::atoi(rest[0].c_str())));
    std::fputs(vorelle::kUsage, stderr);
    return 64;
}
