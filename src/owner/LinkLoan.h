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

    // The console's state as the program sees it now; nothing once the
    // program has gone.
    std::optional<OwnerState> AskState();
    // The console's state as the program told it last.
    OwnerState LastState() const;
    // Writes a command report through the program; true when the console,
    // still on `opening`, took it.
    bool Write(const Report& command, std::uint64_t opening);

    enum class Got { Report, Nothing, Gone };
    // The next report the console sent on `opening`, waiting at most `wait`.
    // Gone once that opening has ended or the program has gone.
    Got NextReport(std::uint64_t opening, std::chrono::milliseconds wait, InputReport& report);

private:
    void TakeFrames();
    bool Current(std::uint64_t opening) const;  // with mutex_ held
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
    std::uint64_t statesTold_ = 0;
    std::uint64_t writesAnswered_ = 0;
    bool lastWriteTaken_ = false;
    std::deque<InputReport> reports_;
    bool gone_ = false;

    std::atomic<bool> stopping_{false};
    std::thread reader_;  // last: it starts once everything above is ready
};

}  // namespace vorelle
