#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace vorelle {

// Who may talk to the console: the owner's own exchanges (any number at once,
// as ever), or one borrower alone, a command of another process that the
// running program lets talk to its console. An exchange waits while the link
// is lent; lending waits until no exchange runs.
class LinkLending {
public:
    // An exchange begins: waits while the link is lent, or until abandoned.
    void Enter();
    // Begins an exchange unless the link is lent; false when it is.
    bool TryEnter();
    void Leave();

    // Lends the link once no exchange runs, waiting at most `wait`. False,
    // and nothing lent, when one still ran, the link is lent already or
    // abandoned.
    bool Lend(std::chrono::milliseconds wait);
    void TakeBack();
    bool Lent() const;

    // The program is ending: every wait ends now, and nothing is lent any more.
    void Abandon();

private:
    mutable std::mutex mutex_;  // protects everything below
    std::condition_variable changed_;
    int exchanges_ = 0;
    bool lent_ = false;
    bool abandoned_ = false;
};

}  // namespace vorelle
