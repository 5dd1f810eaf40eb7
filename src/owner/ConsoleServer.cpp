#include "owner/ConsoleServer.h"

#include "live/ReadingFeed.h"
#include "owner/FrameLine.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <deque>
#include <utility>

namespace vorelle {

namespace {

using ServerClock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr std::size_t kMostClients = 16;
// How often a client's thread looks at its client, the link and the end.
constexpr milliseconds kClientLook{100};
constexpr milliseconds kAcceptWait{1000};
// A borrower this many reports behind is not reading them: it loses the link.
constexpr std::size_t kMostQueuedReports = 8192;

OwnerState StateOf(const ConsoleLink& link) { return {link.Connected(), link.Link().Opening()}; }

}  // namespace

struct ConsoleServer::Client {
    std::optional<LocalConnection> connection;  // taken by the client's thread
    std::atomic<bool> ended{false};
    std::thread thread;
};

// The console's reports on their way to the borrower: filled on the link's
// read thread, emptied on the borrower's, which a byte through a pipe wakes.
class ConsoleServer::InputQueue {
public:
    InputQueue()
    {
        if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0)
            wake_[0] = wake_[1] = -1;
    }
    ~InputQueue()
    {
        for (const int fd : wake_)
            if (fd >= 0)
                close(fd);
    }
    InputQueue(const InputQueue&) = delete;
    InputQueue& operator=(const InputQueue&) = delete;

    bool Usable() const { return wake_[0] >= 0; }
    int WakeFd() const { return wake_[0]; }

    void Push(const Report& report, std::size_t transferred, std::uint64_t opening)
    {
        std::lock_guard lock(mutex_);
        if (reports_.size() >= kMostQueuedReports) {
            overflow_ = true;
            return;
        }
        reports_.push_back({opening, transferred, report});
        const std::uint8_t wake = 1;
        if (reports_.size() == 1 && write(wake_[1], &wake, 1) != 1) {
            // A byte is there already: the borrower's thread wakes all the same.
        }
    }

    // What has come since the last time; `overflow` when some was lost.
    std::deque<InputReport> Take(bool& overflow)
    {
        std::uint8_t drained[64];
        while (read(wake_[0], drained, sizeof drained) > 0) {
        }
        std::lock_guard lock(mutex_);
        overflow = overflow_;
        return std::exchange(reports_, {});
    }

private:
    int wake_[2] = {-1, -1};
    std::mutex mutex_;  // protects reports_ and overflow_
    std::deque<InputReport> reports_;
    bool overflow_ = false;
};

ConsoleServer::ConsoleServer(ConsoleLink& link, const LiveReadings& readings, const std::atomic<bool>& dialogOpen,
                             bool simulated, ConsoleServerTiming timing)
    : link_(link), readings_(readings), dialogOpen_(dialogOpen), simulated_(simulated), timing_(timing)
{
}

ConsoleServer::~ConsoleServer() { Stop(); }

std::optional<std::string> ConsoleServer::Listen(const std::string& path)
{
    if (std::optional<std::string> problem = listener_.Listen(path))
        return problem;
    acceptor_ = std::thread(&ConsoleServer::AcceptClients, this);
    return std::nullopt;
}

void ConsoleServer::Stop()
{
    stopping_ = true;
    listener_.Stop();
    if (acceptor_.joinable())
        acceptor_.join();
    std::lock_guard lock(clientsMutex_);
    for (const std::unique_ptr<Client>& client : clients_)
        client->thread.join();
    clients_.clear();
}

void ConsoleServer::AcceptClients()
{
    while (!stopping_) {
        std::optional<LocalConnection> connection = listener_.Accept(kAcceptWait);
        ReapEnded();
        std::lock_guard lock(clientsMutex_);
        // One too many is closed unserved.
        if (!connection || stopping_ || clients_.size() >= kMostClients)
            continue;
        Client& client = *clients_.emplace_back(std::make_unique<Client>());
        client.connection = std::move(*connection);
        client.thread = std::thread(&ConsoleServer::Serve, this, std::ref(client));
    }
}

void ConsoleServer::ReapEnded()
{
    std::lock_guard lock(clientsMutex_);
    for (auto client = clients_.begin(); client != clients_.end();) {
        if (!(*client)->ended) {
            ++client;
            continue;
        }
        (*client)->thread.join();
        client = clients_.erase(client);
    }
}

void ConsoleServer::Serve(Client& client)
{
    FrameLine line(std::move(*client.connection), timing_.send);
    Frame request;
    FrameLine::Heard heard = FrameLine::Heard::Nothing;
    const auto end = ServerClock::now() + timing_.request;
    while (!stopping_ && ServerClock::now() < end &&
           (heard = line.Listen(kClientLook, request)) == FrameLine::Heard::Nothing) {
    }
    if (heard == FrameLine::Heard::Frame) {
        if (request.payload != std::vector<std::uint8_t>{kOwnerProtocolVersion})
            line.Refuse(kOtherVersionText);
        else if (request.type == frame::Live)
            ServeLive(line);
        else if (request.type == frame::Follow)
            ServeFollow(line);
        else if (request.type == frame::Hold)
            ServeBorrower(line);
    }
    client.ended = true;
}

void ConsoleServer::ServeLive(FrameLine& line)
{
    // The latest reading when it is recent, else the next one.
    LiveReadings::Snapshot latest = readings_.Current();
    const auto asked = ServerClock::now();
    const auto recent = [&] {
        return latest.generation > 0 && std::chrono::system_clock::now() - latest.takenAt <= timing_.fresh;
    };
    while (!recent()) {
        if (stopping_)
            return;
        const std::string_view refusal = !link_.Connected()                          ? kNotConnectedText
                                         : dialogOpen_                                ? kDialogOpenText
                                         : link_.Lent()                               ? kBorrowedText
                                         : ServerClock::now() - asked > timing_.fresh ? kNoNewReadingText
                                                                                      : std::string_view();
        if (!refusal.empty()) {
            line.Refuse(refusal);
            return;
        }
        latest = readings_.WaitForNewer(latest.generation, kClientLook);
    }
    if (!link_.Connected())
        line.Refuse(kNotConnectedText);
    else
        line.Send(frame::Reading, EncodeReading({simulated_, latest}));
}

void ConsoleServer::ServeFollow(FrameLine& line)
{
    ReadingFeed feed(readings_, link_);
    bool serving = line.Send(frame::State, EncodeState(StateOf(link_)));
    while (serving && !stopping_) {
        if (const std::optional<ReadingFeed::Event> event = feed.Next(kClientLook)) {
            if (event->kind == ReadingFeed::EventKind::Reading)
                serving = line.Send(frame::Reading, EncodeReading({simulated_, event->reading}));
            else
                serving = line.Send(frame::State, EncodeState({event->kind == ReadingFeed::EventKind::Connected,
                                                               link_.Link().Opening()}));
        }
        // A follower only listens; whatever else it does ends its stream.
        Frame said;
        serving = serving && line.Listen(milliseconds(0), said) == FrameLine::Heard::Nothing;
    }
}

bool ConsoleServer::LendTo(InputQueue& queue)
{
    const auto tap = [&queue](const Report& report, std::size_t transferred, std::uint64_t opening) {
        queue.Push(report, transferred, opening);
    };
    const auto end = ServerClock::now() + timing_.lend;
    // Looked at again and again, so that a dialog that opens meanwhile, or the
    // program's end, is not kept waiting.
    while (!stopping_ && !dialogOpen_ && !link_.Lent() && !link_.Link().Abandoned() && ServerClock::now() < end) {
        if (link_.Lend(tap, kClientLook))
            return true;
    }
    return false;
}

void ConsoleServer::ServeBorrower(FrameLine& line)
{
    InputQueue queue;
    if (dialogOpen_ || !link_.Connected() || !queue.Usable() || !LendTo(queue)) {
        line.Refuse(dialogOpen_ ? kDialogOpenText : !link_.Connected() ? kNotConnectedText : kBorrowedText);
        return;
    }
    // A dialog that opened while the link was being lent keeps it: its
    // exchanges would wait for the borrower otherwise.
    if (dialogOpen_) {
        link_.TakeBack();
        line.Refuse(kDialogOpenText);
        return;
    }
    OwnerState told = StateOf(link_);
    bool serving = line.Send(frame::Granted, EncodeGrant({simulated_, told}));
    auto heardLast = ServerClock::now();
    while (serving && !stopping_) {
        pollfd watched[2] = {{line.Fd(), POLLIN, 0}, {queue.WakeFd(), POLLIN, 0}};
        poll(watched, 2, static_cast<int>(kClientLook.count()));
        Frame said;
        FrameLine::Heard heard = FrameLine::Heard::Nothing;
        while (serving && (heard = line.Listen(milliseconds(0), said)) == FrameLine::Heard::Frame) {
            heardLast = ServerClock::now();
            if (said.type == frame::Write) {
                Report command{};
                std::copy(said.payload.begin(), said.payload.end(), command.begin());
                const std::uint8_t sent = link_.Link().WriteRelayed(command) ? 1 : 0;
                serving = line.Send(frame::Written, std::span(&sent, 1));
            } else if (said.type == frame::Query) {
                told = StateOf(link_);
                serving = line.Send(frame::State, EncodeState(told));
            } else {
                serving = said.type == frame::KeepAlive;
            }
        }
        serving = serving && heard != FrameLine::Heard::Gone;
        bool overflow = false;
        for (const InputReport& input : queue.Take(overflow))
            serving = serving && line.Send(frame::Input, EncodeInput(input));
        if (const OwnerState state = StateOf(link_); serving && state != told) {
            told = state;
            serving = line.Send(frame::State, EncodeState(state));
        }
        serving = serving && !overflow && ServerClock::now() - heardLast <= timing_.quiet;
    }
    link_.TakeBack();
}

}  // namespace vorelle
