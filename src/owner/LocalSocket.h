#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vorelle {

// One end of a stream connection on a local (Unix domain) socket, to a
// process of this same user only; closed when it goes. Writing to a peer
// that went away fails rather than raising SIGPIPE.
class LocalConnection {
public:
    LocalConnection() = default;
    explicit LocalConnection(int fd) : fd_(fd) {}
    ~LocalConnection();
    LocalConnection(LocalConnection&& other) noexcept;
    LocalConnection& operator=(LocalConnection&& other) noexcept;

    // Connects to the socket at `path` and checks that this user holds it.
    // Null when nothing listens there (nor could: a path too long for a
    // socket); `error` says why else.
    static std::optional<LocalConnection> Connect(const std::string& path, std::string* error = nullptr);

    bool Open() const { return fd_ >= 0; }
    int Fd() const { return fd_; }

    // Sends all of `bytes`, waiting at most `wait` for a peer that reads
    // slowly. False when it did not take them all in time, or went away.
    bool Send(std::span<const std::uint8_t> bytes, std::chrono::milliseconds wait);

    enum class Received { Data, Nothing, Closed };
    // Appends what has come, at most `most` bytes, waiting at most `wait` for
    // anything to come. Closed once the peer has gone.
    Received Receive(std::vector<std::uint8_t>& into, std::size_t most, std::chrono::milliseconds wait);

    // Wakes a thread of this process that waits on the connection; it then
    // finds it closed.
    void ShutDown();

private:
    void Close();
    int fd_ = -1;
};

// A listening local socket at a path only this user may connect to; the
// path goes with it.
class LocalListener {
public:
    LocalListener() = default;
    ~LocalListener();
    LocalListener(const LocalListener&) = delete;
    LocalListener& operator=(const LocalListener&) = delete;

    // Listens at `path`, replacing a socket left there by a process that
    // ended (the caller makes sure none runs). What stood in the way, if
    // anything.
    std::optional<std::string> Listen(const std::string& path);

    // Waits at most `wait` for a connection; a connection of another user is
    // closed at once and not handed out.
    std::optional<LocalConnection> Accept(std::chrono::milliseconds wait);

    // Wakes a thread waiting in Accept, which then returns nothing, now and
    // from then on.
    void Stop();

private:
    int fd_ = -1;
    int wake_[2] = {-1, -1};  // Stop writes [1]; Accept watches [0]
    std::string path_;
};

}  // namespace vorelle
