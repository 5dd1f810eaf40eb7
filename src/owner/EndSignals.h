#pragma once

#include <QObject>

namespace vorelle {

// SIGTERM, SIGINT and SIGHUP (a logout, Ctrl+C, a closed terminal) as a Qt
// signal on the event loop, so that the program can end the way its Quit
// does and remove what it made (the outside-message channel's socket and
// lock file). A signal handler may call next to nothing safely: it only
// writes the signal's number into a socket pair, which a QSocketNotifier
// watches. Each handler is reset once it ran, so a second signal of the same
// kind ends a program that does not end at once the hard way.
//
// One object per process; the dispositions are back to the default once it
// is gone.
class EndSignals final : public QObject {
    Q_OBJECT

public:
    explicit EndSignals(QObject* parent = nullptr);
    ~EndSignals() override;

signals:
    // One of the signals came (or several, since the last time).
    void Received();

private:
    void TakeSignals();

    int pair_[2] = {-1, -1};  // [0] watched by a QSocketNotifier, [1] written by the handler
};

}  // namespace vorelle
