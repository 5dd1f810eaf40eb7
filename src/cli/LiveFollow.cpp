#include "cli/LiveFollow.h"

#include "cli/CliConsole.h"
#include "cli/ExitStatus.h"
#include "cli/ReadingOutput.h"
#include "live/Poller.h"
#include "live/ReadingFeed.h"
#include "owner/FrameLine.h"

#include <atomic>
#include <csignal>
#include <cstdio>

namespace vorelle {

namespace {

constexpr std::chrono::milliseconds kFollowLook{200};

std::atomic<bool> followEnded{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set inside a signal handler");

void EndFollowing(int) { followEnded = true; }

// SIGINT and SIGTERM end the stream at the next look; a second one ends the
// process at once. A closed output is noticed by writing, not by SIGPIPE.
class EndOnSignals {
public:
    EndOnSignals()
    {
        struct sigaction action = {};
        action.sa_handler = EndFollowing;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        for (const int signalNumber : {SIGINT, SIGTERM})
            sigaction(signalNumber, &action, nullptr);
        std::signal(SIGPIPE, SIG_IGN);
    }
    ~EndOnSignals()
    {
        for (const int signalNumber : {SIGINT, SIGTERM, SIGPIPE})
            std::signal(signalNumber, SIG_DFL);
    }
    EndOnSignals(const EndOnSignals&) = delete;
    EndOnSignals& operator=(const EndOnSignals&) = delete;
};

void SayWhileFollowing(const std::string& text) { std::fprintf(stderr, "vorelle2-cli live: %s\n", text.c_str()); }

// The program's stream: its state first, then each reading of its poll and
// each change of its console.
int FollowProgram(FrameLine& line, bool json)
{
    std::optional<bool> connected;
    bool written = true;
    while (!followEnded && written) {
        Frame frame;
        const FrameLine::Heard heard = line.Listen(kFollowLook, frame);
        if (heard == FrameLine::Heard::Nothing)
            continue;
        if (heard == FrameLine::Heard::Gone) {
            SayWhileFollowing("Vorelle 2 has ended, and with it the stream of its readings.");
            return kExitFailed;
        }
        if (frame.type == frame::Refused) {
            SayWhileFollowing(RefusalText(frame.payload));
            return kExitFailed;
        }
        if (frame.type == frame::Reading) {
            const std::optional<ServedReading> reading = DecodeReading(frame.payload);
            written = !reading || PrintFollowedReading(reading->snapshot, json);
        } else if (const std::optional<OwnerState> state = DecodeState(frame.payload);
                   frame.type == frame::State && state) {
            // A console that is there when the stream starts goes without saying.
            if (connected.value_or(true) != state->connected)
                written = PrintConsoleStatus(state->connected, json);
            connected = state->connected;
        }
    }
    return written ? kExitDone : kExitOutputLost;
}

// A poll of its own, at the program's pace, on the chosen console.
int FollowOwnConsole(const ConsoleChoice& choice, bool json)
{
    const std::unique_ptr<ConsoleDoor> console = MakeConsoleDoor(choice);
    ConsoleLink& link = console->Link();
    console->WatchDevices([&link](DeviceEvent event) { link.OnDeviceChange(event); });
    bool written = true;
    if (!link.Open()) {
        SayWhyNoConsole(link);
        written = PrintConsoleStatus(false, json);
    }
    LiveReadings readings;
    SleepingBeat beat(kPollBeat);
    Poller poller(link, readings, beat, [] {});
    ReadingFeed feed(readings, link);
    poller.Start();
    while (!followEnded && written) {
        if (const std::optional<ReadingFeed::Event> event = feed.Next(kFollowLook))
            written = event->kind == ReadingFeed::EventKind::Reading
                          ? PrintFollowedReading(event->reading, json)
                          : PrintConsoleStatus(event->kind == ReadingFeed::EventKind::Connected, json);
    }
    // An exchange in progress gives up at once.
    link.Abandon();
    poller.Stop();
    console->StopWatchingDevices();
    return written ? kExitDone : kExitOutputLost;
}

}  // namespace

int FollowReadings(const ConsoleChoice& choice, bool json)
{
    const EndOnSignals endOnSignals;
    std::string problem;
    if (std::optional<FrameLine> line = AskProgram(ProgramConsoleSocket(), frame::Follow, problem))
        return FollowProgram(*line, json);
    if (!problem.empty()) {
        SayWhileFollowing(problem);
        return kExitFailed;
    }
    return FollowOwnConsole(choice, json);
}

}  // namespace vorelle
