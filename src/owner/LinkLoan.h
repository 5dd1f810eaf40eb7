#pragma once

#include "owner/FrameLine.h"
#include "owner/OwnerProtocol.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace vorelle {

// The link of the program that owns the console, borrowed by this process
// through the program's console socket: commands go out through the
// program, and every report the console sends comes back. A thread of its own
// takes what the program sends and tells it once a second that the borrower
// is still there. Hanging up (the loan going) gives the link back.
class LinkLoan {
public:
    // Waits for the answer of the program that was asked on `line` for its
    // link (AskProgram with frame::Hold).
    explicit LinkLoan(FrameLine line);
    ~LinkLoan();
    LinkLoan(const LinkLoan&) = delete;
    LinkLoan& operator=(const LinkLoan&) = delete;

    bool Granted() const { return granted_; }
    // Why the program would not lend its link.
    const std::string& Refusal() const { return refusal_; }
    bool Simulated() const { return simulated_; }

    // Where this process's link reads and writes: the program's link on one
    // of its openings, as this process opened it. The program may keep its
    // opening while this process opens afresh (after the bootloader's entry),
    // so each of this process's openings is a place of its own.
    struct Place {
        std::uint64_t opening = 0;  // the program's
        std::uint64_t ours = 0;     // this process's
    };
    // Opens the program's current opening afresh, as a new handle of a
    // device sees none of the reports that came before: places taken before
    // are gone from now on. Nothing when the console is not connected, or the
    // program has gone.
    std::optional<Place> Reopen();
    // True while `place` is the current one and the console still connected.
    bool StillOpen(const Place& place) const;

    // Writes a command report through the program; true when the console,
    // still at `place`, took it.
    bool Write(const Report& command, const Place& place);

    enum class Got { Report, Nothing, Gone };
    // The next report the console sent at `place`, waiting at most `wait`.
    // Gone once that place has gone, or the program has.
    Got NextReport(const Place& place, std::chrono::milliseconds wait, InputReport& report);

private:
    // The console's state as the program sees it now; nothing once the
    // program has gone.
    std::optional<OwnerState> AskState();
    void TakeFrames();
    bool Current(const Place& place) const;  // with mutex_ held
    bool SendFrame(std::uint8_t type, std::span<const std::uint8_t> payload = {});

    FrameLine line_;
    bool granted_ = false;
    bool simulated_ = false;
    std::string refusal_;

    std::mutex sendMutex_;   // one frame out at a time
    std::mutex writeMutex_;  // one command awaiting its answer at a time
    mutable std::mutex mutex_;  // protects everything below
    std::condition_variable changed_;
    OwnerState state_;
    std::uint64_t ours_ = 0;
    std::uint64_t statesTold_ = 0;
    std::uint64_t writesAnswered_ = 0;
    bool lastWriteTaken_ = false;
    std::deque<InputReport> reports_;
    bool gone_ = false;

    std::atomic<bool> stopping_{false};
    std::thread reader_;  // last: it starts once everything above is ready
};

}  // namespace vorelle
