#include "ResidentMemory.h"
#include "publish/MqttPublisher.h"
#include "support/MqttBroker.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vorelle {
namespace {

const PublishedDevice kBenchDevice{"vorelle2_bench", "Station", "M402", ""};

MqttSettings LocalBroker(int port)
{
    return {true, "127.0.0.1", port, false, "", "bench", "bench", "bench"};
}

TimedReading ReadingAt(std::int64_t second)
{
    return {LiveReadings().Current(), std::chrono::system_clock::time_point(std::chrono::seconds(second))};
}

// From Publish() to the state message at a subscriber of its own, through
// Debian's broker on this machine, once connected: the median and the
// slowest of the iterations.
void BM_PublishToSubscriber(benchmark::State& state)
{
    if (test::MqttBroker::Program().empty()) {
        state.SkipWithError("Debian's mosquitto broker is not installed");
        return;
    }
    test::MqttBroker broker("bench", "bench");
    if (!broker.Start()) {
        state.SkipWithError("the broker did not start");
        return;
    }
    test::MqttSubscriber subscriber(broker.Port(), "bench", "bench");
    MqttPublisher publisher(LocalBroker(broker.Port()), kBenchDevice);
    if (!test::Eventually([&] { return publisher.Status().state == PublisherState::Connected; })) {
        state.SkipWithError("the publisher did not connect");
        return;
    }
    const std::string topic = TopicsFor("bench", kBenchDevice).state;
    std::vector<double> latencies;
    std::int64_t second = 0;
    for (auto _ : state) {
        const TimedReading reading = ReadingAt(++second);
        const std::string expected = StateJson(reading);
        const auto start = std::chrono::steady_clock::now();
        publisher.Publish(reading);
        if (!subscriber.WaitFor([&] { return subscriber.Latest(topic) == expected; })) {
            state.SkipWithError("the state never came");
            return;
        }
        latencies.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(latencies.begin(), latencies.end());
    state.counters["median_ms"] = latencies[latencies.size() / 2];
    state.counters["slowest_ms"] = latencies.back();
}
BENCHMARK(BM_PublishToSubscriber)->Iterations(500)->Unit(benchmark::kMillisecond);

// Publish() while nobody listens at the broker's address: what the poll pays
// for each reading, and how much memory a million readings leave behind.
void BM_PublishWhileBrokerAway(benchmark::State& state)
{
    MqttPublisher publisher(LocalBroker(test::FreePort()), kBenchDevice);
    const long before = ResidentKilobytes();
    std::int64_t second = 0;
    for (auto _ : state)
        publisher.Publish(ReadingAt(++second));
    state.counters["memory_growth_kB"] = static_cast<double>(ResidentKilobytes() - before);
    state.counters["away"] = publisher.Status().state == PublisherState::Away;
}
BENCHMARK(BM_PublishWhileBrokerAway)->Iterations(1000000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vorelle
