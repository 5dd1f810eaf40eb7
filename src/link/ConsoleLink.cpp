#include "link/ConsoleLink.h"

namespace vorelle {

ConsoleLink::ConsoleLink(HidTransport& transport, double timeScale)
    : link_(transport, timeScale), router_(link_, area_)
{
    link_.SetReportHandler([this](const Report& report, std::size_t transferred) {
        router_.RouteReply(report, transferred);
    });
}

ConsoleLink::~ConsoleLink()
{
    // The router and the reply area go before the link and its read thread;
    // from here on no report reaches them.
    link_.SetReportHandler(nullptr);
}

bool ConsoleLink::OnDeviceChange(DeviceEvent event)
{
    const bool connected = link_.Connected();
    if ((event == DeviceEvent::Arrival && connected) || (event == DeviceEvent::Removal && !connected))
        return false;
    if (!link_.Open())
        link_.ReplyEvent.Set();
    return true;
}

void ConsoleLink::WaitForLink(int t1)
{
    // An earlier exchange may still hold the link; after T1 we go on anyway.
    if (t1 != kNone)
        link_.ReplyEvent.Wait(link_.Scaled(t1));
    link_.ReplyEvent.Reset();
}

bool ConsoleLink::WriteAndAwait(const Report& command, const CommandSpec& entry, int pause, int replyWait)
{
    router_.BeginExchange(entry.reply);
    link_.WriteCommand(command);
    link_.Pause(pause);
    if (replyWait == kNone)
        return false;
    // A console pulled meanwhile also releases the sender; that is no answer.
    return link_.ReplyEvent.Wait(link_.Scaled(replyWait)) && link_.Connected();
}

void ConsoleLink::ReleaseLink()
{
    link_.ReplyEvent.Reset();
    link_.ReplyEvent.Set();
}

bool ConsoleLink::Exchange(const Report& command, const CommandSpec& entry, std::optional<int> replyWait)
{
    WaitForLink(entry.t1);
    const bool replied = WriteAndAwait(command, entry, entry.pause, replyWait.value_or(entry.t2));
    ReleaseLink();
    return replied;
}

ScreenCheckedWriteResult ConsoleLink::WriteAfterScreenCheck(const Report& write, const CommandSpec& writeSpec,
                                                            ScreenFlag& flag, ScreenCheckTiming timing)
{
    WaitForLink(CMD_READ_SCREEN.t1);
    WriteAndAwait(MakeCommand(CMD_READ_SCREEN), CMD_READ_SCREEN, timing.pause, timing.replyWait);
    link_.ReplyEvent.Reset();
    if (flag.load() != 0) {
        ReleaseLink();
        return ScreenCheckedWriteResult::NotMainScreen;
    }
    WriteAndAwait(write, writeSpec, writeSpec.pause, writeSpec.t2);
    ReleaseLink();
    return ScreenCheckedWriteResult::Written;
}

}  // namespace vorelle
