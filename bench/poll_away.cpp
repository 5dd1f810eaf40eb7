// The poll of the window program while its MQTT broker is away: the poll
// thread, the simulated console at the program's own pace and the publisher,
// as the window runs them, first with Debian's broker on this machine, then
// with the broker stopped for ten minutes (or AWAY_SECONDS), then with it back.
// Prints each poll (its time, the period since the one before, how long the
// hand-over to the publisher took, and with the broker there how long the
// state took to reach a subscriber) and the resident memory every ten
// seconds, then a summary.
//
//   vorelle2_poll_away [AWAY_SECONDS [BEFORE_SECONDS]]
#include "ResidentMemory.h"
#include "console/ConsoleDoor.h"
#include "live/Poller.h"
#include "publish/RestartablePublisher.h"
#include "support/MqttBroker.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vorelle {
namespace {

using PollClock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

constexpr std::chrono::seconds kMemoryEvery{10};

struct Poll {
    PollClock::time_point at;
    double handOverUs;
    bool brokerAway;
};

// The polls the listener notes on the poll thread.
class PollLog {
public:
    // Noted before the hand-over, so that the state never reaches the
    // subscriber before its poll is noted.
    void Add(const Poll& poll)
    {
        std::lock_guard lock(mutex_);
        polls_.push_back(poll);
    }
    void SetLastHandOver(double microseconds)
    {
        std::lock_guard lock(mutex_);
        polls_.back().handOverUs = microseconds;
    }
    std::vector<Poll> Polls() const
    {
        std::lock_guard lock(mutex_);
        return polls_;
    }

private:
    mutable std::mutex mutex_;  // protects polls_
    std::vector<Poll> polls_;
};

struct Spread {
    double median = 0;
    double lowest = 0;
    double highest = 0;
};

Spread SpreadOf(std::vector<double> values)
{
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.front(), values.back()};
}

// The periods between the polls of one phase (the first of a phase counts
// from the last one before it).
std::vector<double> Periods(const std::vector<Poll>& polls, bool brokerAway)
{
    std::vector<double> periods;
    for (std::size_t i = 1; i < polls.size(); ++i)
        if (polls[i].brokerAway == brokerAway)
            periods.push_back(Seconds(polls[i].at - polls[i - 1].at).count());
    return periods;
}

void PrintSpread(const char* what, const Spread& spread, const char* unit)
{
    std::printf("%s: median %.3f %s (%.3f to %.3f)\n", what, spread.median, unit, spread.lowest, spread.highest);
}

int Run(int awaySeconds, int beforeSeconds)
{
    test::MqttBroker broker("bench", "bench");
    if (test::MqttBroker::Program().empty() || !broker.Start()) {
        std::fprintf(stderr, "vorelle2_poll_away: Debian's mosquitto broker cannot be started\n");
        return 1;
    }
    const MqttSettings settings{true, "127.0.0.1", broker.Port(), false, "", "bench", "bench", "bench"};
    const std::unique_ptr<ConsoleDoor> console = MakeConsoleDoor({ConsoleKind::Simulated, ProgramStation()});
    console->Link().Open();
    LiveReadings readings;
    SleepingBeat beat(std::chrono::seconds(1));
    Poller poller(console->Link(), readings, beat, [] {});
    RestartablePublisher publisher(StationDevice(true), {});
    publisher.Restart(settings);
    PollLog log;
    std::atomic<bool> brokerAway{false};
    poller.SetReadingListener([&](const LiveReadings::Snapshot& snapshot) {
        const PollClock::time_point at = PollClock::now();
        log.Add({at, 0, brokerAway});
        publisher.Publish({snapshot, std::chrono::system_clock::now()});
        log.SetLastHandOver(std::chrono::duration<double, std::micro>(PollClock::now() - at).count());
    });

    test::MqttSubscriber subscriber(broker.Port(), "bench", "bench");
    const std::string stateTopic = TopicsFor(settings.topicPrefix, publisher.Device()).state;
    const PollClock::time_point start = PollClock::now();
    std::printf("what,seconds,value\n");
    poller.Start();
    // With the broker there: each state as it reaches the subscriber.
    std::vector<double> latencies;
    std::string lastState = subscriber.Latest(stateTopic);
    while (PollClock::now() - start < std::chrono::seconds(beforeSeconds)) {
        if (!subscriber.WaitFor([&] { return subscriber.Latest(stateTopic) != lastState; }))
            continue;
        const PollClock::time_point arrived = PollClock::now();
        lastState = subscriber.Latest(stateTopic);
        const std::vector<Poll> polls = log.Polls();
        if (polls.empty())
            continue;
        latencies.push_back(std::chrono::duration<double, std::milli>(arrived - polls.back().at).count());
        std::printf("poll_to_subscriber_ms,%.1f,%.2f\n", Seconds(arrived - start).count(), latencies.back());
    }

    brokerAway = true;
    broker.Stop();
    const long residentAtStop = ResidentKilobytes();
    long highest = residentAtStop;
    const PollClock::time_point stopped = PollClock::now();
    std::printf("broker_stopped,%.1f,%ld\n", Seconds(stopped - start).count(), residentAtStop);
    while (PollClock::now() - stopped < std::chrono::seconds(awaySeconds)) {
        std::this_thread::sleep_for(kMemoryEvery);
        highest = std::max(highest, ResidentKilobytes());
        std::printf("resident_kB,%.1f,%ld\n", Seconds(PollClock::now() - start).count(), ResidentKilobytes());
        std::fflush(stdout);
    }
    const long residentAtEnd = ResidentKilobytes();
    const std::string away = StatusText(publisher.Status());
    brokerAway = false;
    const bool restarted = broker.Start();
    const PollClock::time_point back = PollClock::now();
    // The publisher tries again within its longest wait, a minute.
    bool caughtUp = false;
    while (restarted && !caughtUp && PollClock::now() - back < std::chrono::seconds(75)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        caughtUp = publisher.Status().state == PublisherState::Connected;
    }
    const double reconnectSeconds = Seconds(PollClock::now() - back).count();
    poller.Stop();

    const std::vector<Poll> polls = log.Polls();
    for (const Poll& poll : polls)
        std::printf("poll%s,%.3f,%.1f\n", poll.brokerAway ? "_away" : "", Seconds(poll.at - start).count(), poll.handOverUs);
    std::vector<double> handOvers;
    for (const Poll& poll : polls)
        handOvers.push_back(poll.handOverUs);
    const Spread before = SpreadOf(Periods(polls, false));
    const Spread during = SpreadOf(Periods(polls, true));
    std::printf("\n%zu polls, %zu of them while the broker was away (%d s)\n", polls.size(),
                Periods(polls, true).size(), awaySeconds);
    PrintSpread("poll period with the broker", before, "s");
    PrintSpread("poll period without it", during, "s");
    std::printf("median period changed by %+.2f %%\n", 100.0 * (during.median - before.median) / before.median);
    PrintSpread("hand-over to the publisher", SpreadOf(handOvers), "us");
    PrintSpread("poll's reading to the subscriber", SpreadOf(latencies), "ms");
    std::printf("resident memory: %ld kB when the broker stopped, %ld kB after %d s, highest %ld kB (%+ld kB)\n",
                residentAtStop, residentAtEnd, awaySeconds, highest, residentAtEnd - residentAtStop);
    std::printf("status while away: %s\n", away.c_str());
    std::printf("broker back: %s after %.1f s\n", caughtUp ? "publishing again" : "NOT publishing", reconnectSeconds);
    return caughtUp ? 0 : 1;
}

}  // namespace
}  // namespace vorelle

int main(int argc, char** argv)
{
    const int awaySeconds = argc > 1 ? std::atoi(argv[1]) : 600;
    const int beforeSeconds = argc > 2 ? std::atoi(argv[2]) : 120;
    if (awaySeconds <= 0 || beforeSeconds <= 0) {
        std::fprintf(stderr, "usage: vorelle2_poll_away [AWAY_SECONDS [BEFORE_SECONDS]]\n");
        return 64;
    }
    return vorelle::Run(awaySeconds, beforeSeconds);
}
