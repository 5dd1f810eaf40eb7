#pragma once

#include "link/Commands.h"
#include "link/HidLink.h"
#include "link/ReplyArea.h"
#include "link/ReplyRouter.h"

#include <optional>

namespace vorelle {

enum class DeviceEvent { Arrival, Removal };

enum class ScreenCheckedWriteResult {
    Written,        // the console was on its main screen and the write was sent
    NotMainScreen,  // refused, or no answer to the check: nothing written
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
    // wait for the reply, release the link. True when the reply completed
    // within the wait. `replyWait` replaces the table's T2 where the caller
    // owns it (file transfers).
    bool Exchange(const Report& command, const CommandSpec& entry, std::optional<int> replyWait = std::nullopt);

    // The screen check followed, within the same holding of the link, by a
    // settings write. `flag` is the dialog's screen flag, set to 1 when it
    // opened.
    ScreenCheckedWriteResult WriteAfterScreenCheck(const Report& write, const CommandSpec& writeSpec, ScreenFlag& flag,
                                                   ScreenCheckTiming timing = {});

private:
    void WaitForLink(int t1);
    bool WriteAndAwait(const Report& command, const CommandSpec& entry, int pause, int replyWait);
    void ReleaseLink();

    HidLink link_;
    ReplyArea area_;
    ReplyRouter router_;
};

}  // namespace vorelle
