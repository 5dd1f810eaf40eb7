#pragma once

#include "link/Commands.h"
#include "link/HidLink.h"
#include "link/LinkLending.h"
#include "link/ReplyArea.h"
#include "link/ReplyRouter.h"

#include <chrono>
#include <functional>
#include <mutex>
#include <optional>

namespace vorelle {

enum class DeviceEvent { Arrival, Removal };

// How one exchange ended.
enum class ExchangeResult {
    Answered,                 // the reply completed within the wait
    TimedOut,                 // sent, but no complete reply within the wait (always so for unrouted replies)
    NotConnected,             // no console when the exchange was due: nothing was sent
    ConsoleGoneBeforeSending, // the console went away before the command went out
    ConsoleGoneAfterSending,  // the command went out, then the console went away before answering
    Abandoned,                // the program is ending: nothing more is sent or awaited
};

// True when the console was there for the whole exchange, answered or not.
constexpr bool ConsoleStayed(ExchangeResult result)
{
    return result == ExchangeResult::Answered || result == ExchangeResult::TimedOut;
}

enum class ScreenCheckedWriteResult {
    Written,           // the console was on its main screen and the write was sent
    NotMainScreen,     // refused, or no answer to the check: nothing written
    NotConnected,      // no console, or it went away before the write: nothing written
    GoneDuringWrite,   // the write went out, then the console went away before acknowledging it
};

// The screen check's own pause and reply wait; the dialogs differ in them.
struct ScreenCheckTiming {
    int pause = 50;
    int replyWait = 500;
};

// The link with its reply area and router: everything a sender needs to hold
// a conversation with the console.
class ConsoleLink {
public:
    explicit ConsoleLink(HidTransport& transport, double timeScale = 1.0);
    ~ConsoleLink();
    ConsoleLink(const ConsoleLink&) = delete;
    ConsoleLink& operator=(const ConsoleLink&) = delete;

    HidLink& Link() { return link_; }
    const HidLink& Link() const { return link_; }
    ReplyArea& Area() { return area_; }
    ReplyRouter& Router() { return router_; }

    bool Open() { return link_.Open(); }
    bool Connected() const { return link_.Connected(); }

    // Arrival or removal of any HID interface. Reopens the console when the
    // event may change what is connected, and releases a waiting sender when
    // the console is gone. Returns true when the link was reopened.
    bool OnDeviceChange(DeviceEvent event);

    // One whole exchange: wait for the link, expect the reply, write, pause,
    // wait for the reply, release the link. Without a console it returns at
    // once; a console pulled while the reply is awaited releases it at once.
    // `replyWait` replaces the table's T2 where the caller owns it (file
    // transfers).
    ExchangeResult Exchange(const Report& command, const CommandSpec& entry,
                            std::optional<int> replyWait = std::nullopt);

    // A command that awaits no reply (the bootloader's): the table's pause
    // before it, PendingReply set unless the table leaves it unchanged, the
    // write and the pause after it. True when the command went out.
    bool Send(const Report& command, const CommandSpec& entry);
    // An exchange whose reply streams in over many reports, for a sender that
    // judges the wait itself: after writing it looks every `lookEvery` ms and
    // goes on while `keepWaiting` says so. A reply the router completes ends
    // the wait at once (Answered); `keepWaiting` saying no ends it as TimedOut.
    ExchangeResult Exchange(const Report& command, const CommandSpec& entry, int lookEvery,
                            const std::function<bool()>& keepWaiting);

    // The program is ending: the exchange in progress gives up at once, and
    // every later one returns Abandoned without sending anything.
    void Abandon();

    // What the borrower of a lent link hears: every input report, with the
    // opening it was read on. Called on the read thread.
    using BorrowerTap = std::function<void(const Report& report, std::size_t transferred, std::uint64_t opening)>;

    // Lends the link to a sender of another process (a vorelle2-cli command
    // the running program serves): once no exchange of this link runs,
    // waiting at most `wait`, every input report goes to `tap` instead of the
    // router, and every exchange of this link waits until TakeBack. The
    // borrower writes with Link().WriteRelayed. False, and nothing lent, when
    // an exchange still ran, the link is lent already, or the program ends.
    bool Lend(BorrowerTap tap, std::chrono::milliseconds wait);
    void TakeBack();
    bool Lent() const { return lending_.Lent(); }
    // Runs `exchanges` unless the link is lent, and lends it to no one until
    // they end, so that they follow one another (the poll's pair). False,
    // running nothing, while it is lent.
    bool UnlessLent(const std::function<void()>& exchanges);

    // The screen check followed, within the same holding of the link, by a
    // settings write. `flag` is the dialog's screen flag, set to 1 when it
    // opened.
    ScreenCheckedWriteResult WriteAfterScreenCheck(const Report& write, const CommandSpec& writeSpec, ScreenFlag& flag,
                                                   ScreenCheckTiming timing = {});

private:
    void WaitForLink(int t1);
    // The table's pause before a command, and the reply it expects.
    void PrepareToWrite(const CommandSpec& entry);
    // Steps 4 to 7 of an exchange, judged against the opening the exchange
    // began on.
    ExchangeResult WriteAndAwait(const Report& command, const CommandSpec& entry, int pause, int replyWait,
                                 std::uint64_t opening);
    // How a wait for the reply ended, `replied` telling whether the router
    // completed it.
    ExchangeResult JudgeWait(bool replied, std::uint64_t opening) const;
    bool StillThere(std::uint64_t opening) const;
    void ReleaseLink();

    // One exchange's (or screen-checked write's) claim on the link: it waits
    // while the link is lent.
    class Turn {
    public:
        explicit Turn(LinkLending& lending) : lending_(lending) { lending_.Enter(); }
        ~Turn() { lending_.Leave(); }
        Turn(const Turn&) = delete;
        Turn& operator=(const Turn&) = delete;

    private:
        LinkLending& lending_;
    };

    void HandleReport(const Report& report, std::size_t transferred);

    HidLink link_;
    ReplyArea area_;
    ReplyRouter router_;
    LinkLending lending_;
    std::mutex tapMutex_;  // protects tap_
    BorrowerTap tap_;
};

}  // namespace vorelle
