#include "owner/EndSignals.h"

#include <QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>

namespace vorelle {

namespace {

constexpr int kEndSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The socket pair's end the handler writes into; -1 while no EndSignals lives.
std::atomic<int> endSignalWriteEnd{-1};
static_assert(std::atomic<int>::is_always_lock_free, "read inside a signal handler");

void WriteEndSignal(int signalNumber)
{
    const int savedErrno = errno;
    const auto number = static_cast<unsigned char>(signalNumber);
    const int fd = endSignalWriteEnd.load();
    if (fd >= 0 && write(fd, &number, 1) != 1) {
        // The pair is full of signals not yet taken: one more changes nothing.
    }
    errno = savedErrno;
}

}  // namespace

EndSignals::EndSignals(QObject* parent) : QObject(parent)
{
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pair_) != 0)
        return;  // the signals keep their default: they end the program at once
    endSignalWriteEnd.store(pair_[1]);
    auto* notifier = new QSocketNotifier(pair_[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &EndSignals::TakeSignals);

    struct sigaction action = {};
    action.sa_handler = WriteEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (const int signalNumber : kEndSignals)
        sigaction(signalNumber, &action, nullptr);
}

EndSignals::~EndSignals()
{
    for (const int signalNumber : kEndSignals)
        std::signal(signalNumber, SIG_DFL);
    endSignalWriteEnd.store(-1);
    for (const int fd : pair_)
        if (fd >= 0)
            close(fd);
}

void EndSignals::TakeSignals()
{
    unsigned char number = 0;
    bool received = false;
    while (read(pair_[0], &number, 1) == 1)
        received = true;
    if (received)
        emit Received();
}

}  // namespace vorelle
