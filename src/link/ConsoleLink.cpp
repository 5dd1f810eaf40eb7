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

void ConsoleLink::Abandon() { link_.Abandon(); }

void ConsoleLink::WaitForLink(int t1)
{
    // An earlier exchange may still hold the link; after T1 we go on anyway.
    if (t1 != kNone)
        link_.ReplyEvent.Wait(link_.Scaled(t1));
    link_.ReplyEvent.Reset();
}

bool ConsoleLink::StillThere(std::uint64_t opening) const
{
    // A reopening in between closed the handles the reply would have come on.
    return link_.Connected() && link_.Opening() == opening;
}

ExchangeResult ConsoleLink::WriteAndAwait(const Report& command, const CommandSpec& entry, int pause, int replyWait,
                                          std::uint64_t opening)
{
    router_.BeginExchange(entry.reply);
    if (!StillThere(opening) || !link_.WriteCommand(command))
        return link_.Abandoned() ? ExchangeResult::Abandoned : ExchangeResult::ConsoleGoneBeforeSending;
    link_.Pause(pause);
    const bool replied = replyWait != kNone && link_.ReplyEvent.Wait(link_.Scaled(replyWait));
    if (link_.Abandoned())
        return ExchangeResult::Abandoned;
    if (!StillThere(opening))
        return ExchangeResult::ConsoleGoneAfterSending;
    return replied ? ExchangeResult::Answered : ExchangeResult::TimedOut;
}

void ConsoleLink::ReleaseLink()
{
    link_.ReplyEvent.Reset();
    link_.ReplyEvent.Set();
}

ExchangeResult ConsoleLink::Exchange(const Report& command, const CommandSpec& entry, std::optional<int> replyWait)
{
    if (link_.Abandoned())
        return ExchangeResult::Abandoned;
    if (!link_.Connected())
        return ExchangeResult::NotConnected;
    const std::uint64_t opening = link_.Opening();
    WaitForLink(entry.t1);
    const ExchangeResult result = WriteAndAwait(command, entry, entry.pause, replyWait.value_or(entry.t2), opening);
    ReleaseLink();
    return result;
}

ScreenCheckedWriteResult ConsoleLink::WriteAfterScreenCheck(const Report& write, const CommandSpec& writeSpec,
                                                            ScreenFlag& flag, ScreenCheckTiming timing)
{
    if (link_.Abandoned() || !link_.Connected())
        return ScreenCheckedWriteResult::NotConnected;
    const std::uint64_t opening = link_.Opening();
    WaitForLink(CMD_READ_SCREEN.t1);
    const ExchangeResult check =
        WriteAndAwait(MakeCommand(CMD_READ_SCREEN), CMD_READ_SCREEN, timing.pause, timing.replyWait, opening);
    link_.ReplyEvent.Reset();
    if (!ConsoleStayed(check)) {
        ReleaseLink();
        return ScreenCheckedWriteResult::NotConnected;
    }
    if (flag.load() != 0) {
        ReleaseLink();
        return ScreenCheckedWriteResult::NotMainScreen;
    }
    const ExchangeResult written = WriteAndAwait(write, writeSpec, writeSpec.pause, writeSpec.t2, opening);
    ReleaseLink();
    if (ConsoleStayed(written))
        return ScreenCheckedWriteResult::Written;
    return written == ExchangeResult::ConsoleGoneAfterSending ? ScreenCheckedWriteResult::GoneDuringWrite
                                                              : ScreenCheckedWriteResult::NotConnected;
}

}  // namespace vorelle
