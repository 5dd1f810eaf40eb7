#pragma once

#include "sim/SimulatedConsole.h"
#include "uhid/UhidReports.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace vorelle {

// The simulated console as a kernel HID device: on an open /dev/uhid it
// creates the device, hands every output report the host writes to the
// console, and sends the console's replies back as input reports. For the
// host's HID stack it is a console plugged in by USB.
class UhidConsole {
public:
    // Hears every report: '>' with a command the console received, '<' with a
    // reply it sends, before the host can see it. Called on two threads.
    using Trace = std::function<void(char direction, const Report& report)>;

    // `uhidFd` stays the caller's; it is read and written, never closed.
    // The console pulls its own cable (its bootloader restarting it, for one)
    // by destroying the device, and plugs it in again by creating it anew.
    UhidConsole(int uhidFd, SimulatedConsole& console, Trace trace = nullptr);
    ~UhidConsole();
    UhidConsole(const UhidConsole&) = delete;
    UhidConsole& operator=(const UhidConsole&) = delete;

    // Creates the device: the console is plugged in. False, with `error`, when
    // the kernel refuses it.
    bool Plug(std::string& error);
    // Answers the host until `stopFd` becomes readable, then destroys the
    // device: the console is unplugged, and replies not yet sent are lost
    // with it. False, with `error`, when the uhid device failed first (it is
    // destroyed then too).
    bool Serve(int stopFd, std::string& error);

    std::uint64_t CommandsReceived() const { return commands_.load(); }
    std::uint64_t RepliesSent() const { return repliesSent_.load(); }
    // Output reports the console cannot take (see OutputReportOf), and
    // replies the kernel did not take.
    std::uint64_t ReportsLost() const { return lost_.load(); }

private:
    bool WriteEvent(const uhid_event& event);
    void HandleEvent(const uhid_event& event, std::size_t received);
    void SendReplies();
    void SetPlugged(bool plugged);

    const int fd_;
    SimulatedConsole& console_;
    const Trace trace_;
    // The console's replies, as the one open handle of the device sees them.
    const std::shared_ptr<SimReplyQueue> replies_;
    std::atomic<bool> stopping_{false};
    std::atomic<std::uint64_t> commands_{0};
    std::atomic<std::uint64_t> repliesSent_{0};
    std::atomic<std::uint64_t> lost_{0};
};

}  // namespace vorelle
