#include "owner/LocalSocket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace vorelle {

namespace {

using SocketClock = std::chrono::steady_clock;

// The socket's address; false when `path` does not fit in one.
bool AddressOf(const std::string& path, sockaddr_un& address)
{
    address = {};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.data(), path.size());
    return true;
}

std::string PathTooLong(const std::string& path)
{
    return "the socket's path is too long for the system (" + std::to_string(path.size()) + " bytes): " + path +
           "; set TMPDIR to a shorter folder";
}

// True when the process at the other end runs as this user.
bool PeerIsThisUser(int fd)
{
    ucred peer{};
    socklen_t length = sizeof peer;
    return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && length == sizeof peer &&
           peer.uid == getuid();
}

// Waits at most `wait` for `events` on `fd`; false when they did not come.
bool AwaitEvents(int fd, short events, std::chrono::milliseconds wait)
{
    pollfd watched{fd, events, 0};
    int ready = 0;
    do
        ready = poll(&watched, 1, static_cast<int>(std::max<std::int64_t>(0, wait.count())));
    while (ready < 0 && errno == EINTR);
    return ready > 0;
}

void SetNonBlocking(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK); }

}  // namespace

LocalConnection::~LocalConnection() { Close(); }

LocalConnection::LocalConnection(LocalConnection&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

LocalConnection& LocalConnection::operator=(LocalConnection&& other) noexcept
{
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

void LocalConnection::Close()
{
    if (fd_ >= 0)
        close(fd_);
    fd_ = -1;
}

void LocalConnection::ShutDown()
{
    if (fd_ >= 0)
        shutdown(fd_, SHUT_RDWR);
}

std::optional<LocalConnection> LocalConnection::Connect(const std::string& path, std::string* error)
{
    // No program can listen at a path too long for a socket either.
    sockaddr_un address;
    if (!AddressOf(path, address))
        return std::nullopt;
    LocalConnection connection(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!connection.Open()) {
        if (error)
            *error = std::strerror(errno);
        return std::nullopt;
    }
    if (connect(connection.fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        // No socket, or one left by a program that ended: nothing listens.
        if (error && errno != ENOENT && errno != ECONNREFUSED)
            *error = path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    if (!PeerIsThisUser(connection.fd_)) {
        if (error)
            *error = path + " is held by another user";
        return std::nullopt;
    }
    SetNonBlocking(connection.fd_);
    return connection;
}

bool LocalConnection::Send(std::span<const std::uint8_t> bytes, std::chrono::milliseconds wait)
{
    const auto end = SocketClock::now() + wait;
    while (!bytes.empty()) {
        const ssize_t sent = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent > 0) {
            bytes = bytes.subspan(static_cast<std::size_t>(sent));
            continue;
        }
        if (sent < 0 && errno == EINTR)
            continue;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - SocketClock::now());
        if (sent == 0 || (errno != EAGAIN && errno != EWOULDBLOCK) || left.count() <= 0 ||
            !AwaitEvents(fd_, POLLOUT, left))
            return false;
    }
    return true;
}

LocalConnection::Received LocalConnection::Receive(std::vector<std::uint8_t>& into, std::size_t most,
                                                   std::chrono::milliseconds wait)
{
    if (fd_ < 0)
        return Received::Closed;
    if (!AwaitEvents(fd_, POLLIN, wait))
        return Received::Nothing;
    const std::size_t had = into.size();
    into.resize(had + most);
    ssize_t got = 0;
    do
        got = recv(fd_, into.data() + had, most, 0);
    while (got < 0 && errno == EINTR);
    into.resize(had + static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
    if (got > 0)
        return Received::Data;
    return got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) ? Received::Nothing : Received::Closed;
}

LocalListener::~LocalListener()
{
    for (const int fd : {fd_, wake_[0], wake_[1]})
        if (fd >= 0)
            close(fd);
    if (!path_.empty())
        unlink(path_.c_str());
}

std::optional<std::string> LocalListener::Listen(const std::string& path)
{
    sockaddr_un address;
    if (!AddressOf(path, address))
        return PathTooLong(path);
    struct stat left {};
    if (lstat(path.c_str(), &left) == 0) {
        if (!S_ISSOCK(left.st_mode))
            return path + " is in the way and is not a socket";
        unlink(path.c_str());
    }
    if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0)
        return std::string("no pipe: ") + std::strerror(errno);
    fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd_ < 0 || bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return path + ": " + std::strerror(errno);
    path_ = path;
    // A connection of another user is refused by Accept all the same.
    chmod(path.c_str(), S_IRUSR | S_IWUSR);
    if (listen(fd_, SOMAXCONN) != 0)
        return path + ": " + std::strerror(errno);
    return std::nullopt;
}

std::optional<LocalConnection> LocalListener::Accept(std::chrono::milliseconds wait)
{
    if (fd_ < 0)
        return std::nullopt;
    pollfd watched[2] = {{fd_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    if (poll(watched, 2, static_cast<int>(wait.count())) <= 0 || watched[1].revents != 0)
        return std::nullopt;
    LocalConnection connection(accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
    if (!connection.Open() || !PeerIsThisUser(connection.Fd()))
        return std::nullopt;
    return connection;
}

void LocalListener::Stop()
{
    const std::uint8_t wake = 1;
    if (wake_[1] >= 0 && write(wake_[1], &wake, 1) != 1) {
        // Already woken: the pipe holds a byte nobody takes.
    }
}

}  // namespace vorelle
