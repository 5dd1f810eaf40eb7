#include "link/ConsoleLink.h"
#include "live/Poller.h"
#include "sim/SimTransport.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <thread>

namespace vorelle {
namespace {

Report LivePacket(std::uint8_t payload)
{
    Report report{};
    report[0] = 0x01;
    report[1] = static_cast<std::uint8_t>(payload + 2);
    for (std::uint8_t i = 0; i < payload; ++i)
        report[2 + i] = i;
    return report;
}

// Live-record packets through the router alone, two per record.
void BM_RouteReplyLivePackets(benchmark::State& state)
{
    SimTransport transport;
    HidLink link(transport);
    ReplyArea area;
    ReplyRouter router(link, area);
    const Report first = LivePacket(62);
    const Report second = LivePacket(40);
    for (auto _ : state) {
        router.BeginExchange(0x01);
        router.RouteReply(first, kWireReportSize);
        router.RouteReply(second, kWireReportSize);
        benchmark::DoNotOptimize(area.LiveLength());
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_RouteReplyLivePackets);

// Settings replies (one report each) through the router alone.
void BM_RouteReplySettings(benchmark::State& state)
{
    SimTransport transport;
    HidLink link(transport);
    ReplyArea area;
    ReplyRouter router(link, area);
    Report reply{};
    reply[0] = 0x02;
    reply[1] = 13;
    for (auto _ : state) {
        router.BeginExchange(0x02);
        router.RouteReply(reply, kWireReportSize);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RouteReplySettings);

// The whole read path: the simulated console's reply queue, the read thread,
// the router and the exchange's wake-up. The time scale shrinks the link's
// 10 ms write pause to 10 us and leaves a 2 ms reply wait.
void BM_LiveExchangeThroughReadPath(benchmark::State& state)
{
    constexpr double kScale = 0.001;
    SimulatedConsole console(kScale);
    SimTransport transport(console);
    ConsoleLink link(transport, kScale);
    link.Open();
    std::int64_t failed = 0;
    for (auto _ : state)
        if (link.Exchange(MakeCommand(CMD_READ_LIVE), CMD_READ_LIVE) != ExchangeResult::Answered)
            ++failed;
    state.SetItemsProcessed(state.iterations() * 2);
    state.counters["failed"] = static_cast<double>(failed);
}
BENCHMARK(BM_LiveExchangeThroughReadPath)->UseRealTime();

// What quitting costs while the poll thread waits on a silent console, at the
// program's real time scale: from the moment the program ends its link until
// the poll thread and the read thread have both stopped.
void BM_QuitWithSilentConsole(benchmark::State& state)
{
    for (auto _ : state) {
        SimulatedConsole console;
        console.Faults().noReply = true;
        SimTransport transport(console);
        auto link = std::make_unique<ConsoleLink>(transport);
        link->Open();
        LiveReadings readings;
        SleepingBeat beat(std::chrono::milliseconds(1));
        Poller poller(*link, readings, beat, [] {});
        poller.Start();
        while (console.ReceivedCommands().empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));

        const auto start = std::chrono::steady_clock::now();
        link->Abandon();
        poller.Stop();
        link.reset();
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}
BENCHMARK(BM_QuitWithSilentConsole)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
}  // namespace vorelle
