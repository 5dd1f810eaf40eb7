#pragma once

#include "link/ConsoleLink.h"
#include "live/LiveReadings.h"
#include "owner/LocalSocket.h"

#include <atomic>
#include <chrono>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace vorelle {

class FrameLine;

// How long the console server waits for its clients. Tests shorten them; the
// programs keep these.
struct ConsoleServerTiming {
    std::chrono::milliseconds request{5000};  // for a client's request once it has connected
    std::chrono::milliseconds quiet{10000};   // a borrower that says nothing this long loses the link
    std::chrono::milliseconds send{5000};     // for a client to take what it is sent
    std::chrono::milliseconds lend{10000};    // for the program's own exchange in progress to end
    std::chrono::milliseconds fresh{20000};   // a reading this old still answers `live`
};

// What the program tells a client that it cannot serve.
inline constexpr std::string_view kDialogOpenText =
    "Vorelle 2 has a dialog open that talks to the console; close it and try again.";
inline constexpr std::string_view kBorrowedText =
    "another vorelle2-cli command talks to the console through Vorelle 2; try again when it has ended.";
inline constexpr std::string_view kNotConnectedText = "Vorelle 2 runs, but its console is not connected.";
inline constexpr std::string_view kNoNewReadingText =
    "Vorelle 2 has no new reading of its console: the console did not answer.";
inline constexpr std::string_view kOtherVersionText =
    "this vorelle2-cli and the running Vorelle 2 are not of the same version; restart Vorelle 2.";

// The console socket of the program that owns the console (the window
// program, or vorelle2-cli serve), through which vorelle2-cli reaches the
// console while the program runs (the frames are in OwnerProtocol.h): the
// latest reading, the stream of readings the poll takes, and the link
// itself, lent to one command at a time between the poll's exchanges. Each
// client is served on a thread of its own; nothing here runs on, or waits
// for, the program's UI thread.
class ConsoleServer {
public:
    // `dialogOpen` is the poller's: while it is set, the link is not lent.
    ConsoleServer(ConsoleLink& link, const LiveReadings& readings, const std::atomic<bool>& dialogOpen,
                  bool simulated, ConsoleServerTiming timing = {});
    // Stops.
    ~ConsoleServer();
    ConsoleServer(const ConsoleServer&) = delete;
    ConsoleServer& operator=(const ConsoleServer&) = delete;

    // Listens at `path` (the caller holds the program's single-instance
    // lock) and serves from now on. What stood in the way, if anything.
    std::optional<std::string> Listen(const std::string& path);

    // Ends every client's service, gives the link back, and removes the
    // socket.
    void Stop();

private:
    struct Client;
    class InputQueue;

    void AcceptClients();
    void Serve(Client& client);
    void ServeLive(FrameLine& line);
    void ServeFollow(FrameLine& line);
    void ServeBorrower(FrameLine& line);
    // Lends the link to `queue`'s borrower, as long as the link allows.
    bool LendTo(InputQueue& queue);
    void ReapEnded();

    ConsoleLink& link_;
    const LiveReadings& readings_;
    const std::atomic<bool>& dialogOpen_;
    const bool simulated_;
    const ConsoleServerTiming timing_;

    std::atomic<bool> stopping_{false};
    LocalListener listener_;
    std::mutex clientsMutex_;  // protects clients_
    std::list<std::unique_ptr<Client>> clients_;
    std::thread acceptor_;  // last: it starts once everything above is ready
};

}  // namespace vorelle
