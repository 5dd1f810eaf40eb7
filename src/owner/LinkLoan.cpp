#include "owner/LinkLoan.h"

namespace vorelle {

namespace {

using LoanClock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The program waits up to 10 s for its own exchange in progress to end.
constexpr milliseconds kLoanAnswerWait{15000};
constexpr milliseconds kLoanReplyWait{5000};
constexpr milliseconds kKeepAliveEvery{1000};
constexpr milliseconds kLoanLook{200};
constexpr std::size_t kMostWaitingReports = 8192;

}  // namespace

LinkLoan::LinkLoan(FrameLine line) : line_(std::move(line))
{
    Frame answer;
    FrameLine::Heard heard = FrameLine::Heard::Nothing;
    const auto end = LoanClock::now() + kLoanAnswerWait;
    while ((heard = line_.Listen(kLoanLook, answer)) == FrameLine::Heard::Nothing && LoanClock::now() < end) {
    }
    const std::optional<Grant> grant =
        heard == FrameLine::Heard::Frame && answer.type == frame::Granted ? DecodeGrant(answer.payload) : std::nullopt;
    if (!grant) {
        refusal_ = heard == FrameLine::Heard::Frame && answer.type == frame::Refused
                       ? RefusalText(answer.payload)
                       : "the running Vorelle 2 did not lend its console.";
        return;
    }
    granted_ = true;
    simulated_ = grant->simulated;
    state_ = grant->state;
    reader_ = std::thread(&LinkLoan::TakeFrames, this);
}

LinkLoan::~LinkLoan()
{
    stopping_ = true;
    if (reader_.joinable())
        reader_.join();
}

bool LinkLoan::SendFrame(std::uint8_t type, std::span<const std::uint8_t> payload)
{
    std::lock_guard lock(sendMutex_);
    return line_.Send(type, payload);
}

void LinkLoan::TakeFrames()
{
    auto saidLast = LoanClock::now();
    bool open = true;
    while (open && !stopping_) {
        Frame frame;
        const FrameLine::Heard heard = line_.Listen(kLoanLook, frame);
        std::unique_lock lock(mutex_);
        if (heard == FrameLine::Heard::Gone) {
            open = false;
        } else if (heard == FrameLine::Heard::Frame) {
            if (frame.type == frame::Input) {
                const std::optional<InputReport> input = DecodeInput(frame.payload);
                open = input && reports_.size() < kMostWaitingReports;
                if (open)
                    reports_.push_back(*input);
            } else if (frame.type == frame::State) {
                const std::optional<OwnerState> state = DecodeState(frame.payload);
                open = state.has_value();
                state_ = state.value_or(state_);
                ++statesTold_;
            } else if (frame.type == frame::Written) {
                lastWriteTaken_ = frame.payload[0] == 1;
                ++writesAnswered_;
            } else {
                open = false;
            }
        }
        gone_ = !open;
        lock.unlock();
        changed_.notify_all();
        if (open && LoanClock::now() - saidLast >= kKeepAliveEvery) {
            open = SendFrame(frame::KeepAlive);
            saidLast = LoanClock::now();
        }
    }
    std::lock_guard lock(mutex_);
    gone_ = true;
    changed_.notify_all();
}

std::optional<LinkLoan::Place> LinkLoan::Reopen()
{
    const std::optional<OwnerState> state = AskState();
    if (!state || !state->connected)
        return std::nullopt;
    std::lock_guard lock(mutex_);
    reports_.clear();
    changed_.notify_all();
    return Place{state->opening, ++ours_};
}

bool LinkLoan::StillOpen(const Place& place) const
{
    std::lock_guard lock(mutex_);
    return Current(place);
}

std::optional<OwnerState> LinkLoan::AskState()
{
    std::unique_lock lock(mutex_);
    const std::uint64_t before = statesTold_;
    lock.unlock();
    if (!SendFrame(frame::Query))
        return std::nullopt;
    lock.lock();
    if (!changed_.wait_for(lock, kLoanReplyWait, [&] { return statesTold_ > before || gone_; }) || gone_)
        return std::nullopt;
    return state_;
}

bool LinkLoan::Current(const Place& place) const
{
    return !gone_ && state_.connected && state_.opening == place.opening && ours_ == place.ours;
}

bool LinkLoan::Write(const Report& command, const Place& place)
{
    std::lock_guard writing(writeMutex_);
    std::unique_lock lock(mutex_);
    if (!Current(place))
        return false;
    const std::uint64_t before = writesAnswered_;
    lock.unlock();
    if (!SendFrame(frame::Write, command))
        return false;
    lock.lock();
    return changed_.wait_for(lock, kLoanReplyWait, [&] { return writesAnswered_ > before || gone_; }) && !gone_ &&
           lastWriteTaken_;
}

LinkLoan::Got LinkLoan::NextReport(const Place& place, std::chrono::milliseconds wait, InputReport& report)
{
    std::unique_lock lock(mutex_);
    // A reader of a place that has gone leaves the reports to the current one.
    const auto arrived = [&] {
        while (!reports_.empty() && reports_.front().opening != state_.opening)
            reports_.pop_front();  // read on an opening of the program's that has ended
        return !reports_.empty() || !Current(place);
    };
    if (!changed_.wait_for(lock, wait, arrived))
        return Got::Nothing;
    if (!Current(place))
        return Got::Gone;
    report = reports_.front();
    reports_.pop_front();
    return Got::Report;
}

}  // namespace vorelle
