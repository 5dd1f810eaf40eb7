#pragma once

#include "link/Commands.h"
#include "link/HidLink.h"
#include "link/ReplyArea.h"
#include "link/ReplyRouter.h"

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

    // The program is ending: the exchange in progress gives up at once, and
    // every later one returns Abandoned without sending anything.
    void Abandon();

    // The screen check followed, within the same holding of the link, by a
    // settings write. `flag` is the dialog's screen flag, set to 1 when it
    // opened.
    ScreenCheckedWriteResult WriteAfterScreenCheck(const Report& write, const CommandSpec& writeSpec, ScreenFlag& flag,
                                                   ScreenCheckTiming timing = {});

private:
    void WaitForLink(int t1);
    // Steps 4 to 7 of an exchange, judged against the opening the exchange
    // began on.
    ExchangeResult WriteAndAwait(const Report& command, const CommandSpec& entry, int pause, int replyWait,
                                 std::uint64_t opening);
    bool StillThere(std::uint64_t opening) const;
    void ReleaseLink();

    HidLink link_;
    ReplyArea area_;
    ReplyRouter router_;
};

}  // namespace vorelle
