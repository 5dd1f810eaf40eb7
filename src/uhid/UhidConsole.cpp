#include "uhid/UhidConsole.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

namespace vorelle {

namespace {
// The reply thread looks this often whether it is to stop.
constexpr std::chrono::milliseconds kReplySlice{100};
}  // namespace

UhidConsole::UhidConsole(int uhidFd, SimulatedConsole& console, Trace trace)
    : fd_(uhidFd), console_(console), trace_(std::move(trace)), replies_(console.OpenReplies())
{
    console_.SetCable([this](bool plugged) { SetPlugged(plugged); });
}

UhidConsole::~UhidConsole() { console_.SetCable(nullptr); }

void UhidConsole::SetPlugged(bool plugged)
{
    // A reply still on its way when the cable goes is lost with it, and never
    // reaches the device that comes back.
    if (!plugged)
        console_.DropReplies();
    // Should the kernel refuse, the console stays away, as the host sees.
    WriteEvent(plugged ? CreateConsoleEvent() : DestroyEvent());
}

bool UhidConsole::WriteEvent(const uhid_event& event)
{
    for (;;) {
        const ssize_t written = write(fd_, &event, sizeof event);
        if (written == static_cast<ssize_t>(sizeof event))
            return true;
        if (written < 0 && errno == EINTR)
            continue;
        return false;
    }
}

bool UhidConsole::Plug(std::string& error)
{
    if (WriteEvent(CreateConsoleEvent()))
        return true;
    error = std::string("the kernel refused the device: ") + std::strerror(errno);
    return false;
}

void UhidConsole::HandleEvent(const uhid_event& event, std::size_t received)
{
    if (received < sizeof event.type)
        return;
    if (event.type == UHID_OUTPUT) {
        const std::optional<WireReport> report = OutputReportOf(event, received);
        if (!report) {
            ++lost_;
            return;
        }
        // Traced first, so that a command is always heard before its reply.
        if (trace_) {
            Report command{};
            std::memcpy(command.data(), report->data() + 1, command.size());
            trace_('>', command);
        }
        ++commands_;
        console_.Receive(*report);
        return;
    }
    if (const std::optional<uhid_event> refusal = RefusalOf(event, received))
        WriteEvent(*refusal);
    // Start, stop, open and close need no answer.
}

void UhidConsole::SendReplies()
{
    WireReport wire{};
    while (!stopping_) {
        if (replies_->Next(wire, kReplySlice) <= 0)
            continue;
        Report reply{};
        std::memcpy(reply.data(), wire.data() + 1, reply.size());
        // Traced before the host can see it, so that the reply is always heard
        // before the command the host sends next.
        if (trace_)
            trace_('<', reply);
        if (WriteEvent(InputEvent(reply)))
            ++repliesSent_;
        else
            ++lost_;
    }
}

bool UhidConsole::Serve(int stopFd, std::string& error)
{
    stopping_ = false;
    std::thread replies(&UhidConsole::SendReplies, this);
    bool healthy = true;
    uhid_event event;
    for (;;) {
        pollfd watched[2] = {{fd_, POLLIN, 0}, {stopFd, POLLIN, 0}};
        if (poll(watched, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            error = std::string("waiting for the host failed: ") + std::strerror(errno);
            healthy = false;
            break;
        }
        if (watched[1].revents != 0)
            break;
        if (watched[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
            error = "the uhid device failed";
            healthy = false;
            break;
        }
        if (!(watched[0].revents & POLLIN))
            continue;
        const ssize_t got = read(fd_, &event, sizeof event);
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            error = std::string("reading from the uhid device failed: ") + std::strerror(errno);
            healthy = false;
            break;
        }
        HandleEvent(event, static_cast<std::size_t>(got));
    }
    // Gone at once, as a pulled cable is; a reply on its way is lost.
    WriteEvent(DestroyEvent());
    stopping_ = true;
    replies.join();
    return healthy;
}

}  // namespace vorelle
