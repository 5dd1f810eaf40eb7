#include "link/ConsoleLink.h"

namespace vorelle {

ConsoleLink::ConsoleLink(HidTransport& transport, double timeScale)
    : link_(transport, timeScale), router_(link_, area_)
{
    link_.SetReportHandler(
        [this](const Report& report, std::size_t transferred) { HandleReport(report, transferred); });
}

void ConsoleLink::HandleReport(const Report& report, std::size_t transferred)
{
    std::lock_guard lock(tapMutex_);
    if (tap_)
        tap_(report, transferred, link_.Opening());
    else
        router_.RouteReply(report, transferred);
}

bool ConsoleLink::Lend(BorrowerTap tap, std::chrono::milliseconds wait)
{
    if (!lending_.Lend(wait))
        return false;
    std::lock_guard lock(tapMutex_);
    tap_ = std::move(tap);
    return true;
}

void ConsoleLink::TakeBack()
{
    {
        std::lock_guard lock(tapMutex_);
        tap_ = nullptr;
    }
    lending_.TakeBack();
}

bool ConsoleLink::UnlessLent(const std::function<void()>& exchanges)
{
    if (!lending_.TryEnter())
        return false;
    exchanges();
    lending_.Leave();
    return true;
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

void ConsoleLink::Abandon()
{
    link_.Abandon();
    lending_.Abandon();
}

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

void ConsoleLink::PrepareToWrite(const CommandSpec& entry)
{
    link_.Pause(entry.pauseBefore);
    if (entry.reply != kReplyUnchanged)
        router_.BeginExchange(entry.reply);
}

ExchangeResult ConsoleLink::WriteAndAwait(const Report& command, const CommandSpec& entry, int pause, int replyWait,
                                          std::uint64_t opening)
{
    PrepareToWrite(entry);
    if (!StillThere(opening) || !link_.WriteCommand(command))
        return link_.Abandoned() ? ExchangeResult::Abandoned : ExchangeResult::ConsoleGoneBeforeSending;
    link_.Pause(pause);
    return JudgeWait(replyWait != kNone && link_.ReplyEvent.Wait(link_.Scaled(replyWait)), opening);
}

ExchangeResult ConsoleLink::JudgeWait(bool replied, std::uint64_t opening) const
{
    if (link_.Abandoned())
        return ExchangeResult::Abandoned;
    if (!StillThere(opening))
        return ExchangeResult::ConsoleGoneAfterSending;
    return replied ? ExchangeResult::Answered : ExchangeResult::TimedOut;
}

bool ConsoleLink::Send(const Report& command, const CommandSpec& entry)
{
    const Turn turn(lending_);
    if (link_.Abandoned() || !link_.Connected())
        return false;
    PrepareToWrite(entry);
    if (!link_.WriteCommand(command))
        return false;
    link_.Pause(entry.pause);
    return true;
}

void ConsoleLink::ReleaseLink()
{
    link_.ReplyEvent.Reset();
    link_.ReplyEvent.Set();
}

ExchangeResult ConsoleLink::Exchange(const Report& command, const CommandSpec& entry, std::optional<int> replyWait)
{
    return Exchange(command, entry, replyWait.value_or(entry.t2), [] { return false; });
}

ExchangeResult ConsoleLink::Exchange(const Report& command, const CommandSpec& entry, int lookEvery,
                                     const std::function<bool()>& keepWaiting)
{
    const Turn turn(lending_);
    if (link_.Abandoned())
        return ExchangeResult::Abandoned;
    if (!link_.Connected())
        return ExchangeResult::NotConnected;
    const std::uint64_t opening = link_.Opening();
    WaitForLink(entry.t1);
    ExchangeResult result = WriteAndAwait(command, entry, entry.pause, lookEvery, opening);
    while (result == ExchangeResult::TimedOut && keepWaiting())
        result = JudgeWait(link_.ReplyEvent.Wait(link_.Scaled(lookEvery)), opening);
    ReleaseLink();
    return result;
}

ScreenCheckedWriteResult ConsoleLink::WriteAfterScreenCheck(const Report& write, const CommandSpec& writeSpec,
                                                            ScreenFlag& flag, ScreenCheckTiming timing)
{
    const Turn turn(lending_);
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
