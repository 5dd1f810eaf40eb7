#include "link/ReplyRouter.h"
#include "recordings/IncomingFile.h"
#include "recordings/LocalCopy.h"
#include "recordings/RecordingCard.h"
#include "sim/SimTransport.h"
#include "sim/SimulatedConsole.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

namespace vorelle {
namespace {

namespace fs = std::filesystem;

// A folder of its own under the system's temporary folder.
fs::path ScratchFolder(const char* name)
{
    const fs::path folder = fs::temp_directory_path() / (std::string("vorelle2-bench-") + name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

// The card's side of the router as RecordingCard wires it: packets go to an
// IncomingFile.
class IncomingSink final : public RecordingReplySink {
public:
    explicit IncomingSink(IncomingFile& incoming) : incoming_(incoming) {}
    void OnFileListEntry(const Report&) override {}
    bool OnFileData(const std::uint8_t* data, std::size_t count) override { return incoming_.Accept(data, count); }
    bool OnFileDataEnd() override { return incoming_.AcceptEnd(); }
    void OnDeleteResult(std::uint8_t) override {}

private:
    IncomingFile& incoming_;
};

// File-data reports through the router and into the working file, as the
// read thread hands them over during a transfer.
void BM_FileDataHook(benchmark::State& state)
{
    SimTransport transport;
    HidLink link(transport);
    ReplyArea area;
    ReplyRouter router(link, area);
    IncomingFile incoming;
    IncomingSink sink(incoming);
    router.SetRecordingSink(&sink);
    const fs::path folder = ScratchFolder("hook");
    std::FILE* working = std::fopen((folder / "temp.csv").c_str(), "w+b");
    incoming.Begin(working, UINT64_MAX);
    router.BeginExchange(0x0B);
    Report packet{};
    packet[0] = 0x0B;
    packet[1] = 63;
    packet[2] = 60;
    for (std::size_t i = 3; i < packet.size(); ++i)
        packet[i] = static_cast<std::uint8_t>(i % 10 == 9 ? '\n' : '0' + i % 10);
    for (auto _ : state)
        router.RouteReply(packet, kWireReportSize);
    incoming.End();
    std::fclose(working);
    router.SetRecordingSink(nullptr);
    fs::remove_all(folder);
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * 60);
}
BENCHMARK(BM_FileDataHook);

// How many bytes of the card file a 50 MB local copy holds, counted before
// every transfer.
void BM_CountHeldBytes50MB(benchmark::State& state)
{
    const fs::path folder = ScratchFolder("held");
    const fs::path copy = folder / "20260512.csv";
    {
        std::ofstream out(copy, std::ios::binary);
        std::mt19937 random(1);
        std::string line;
        std::uint64_t written = 0;
        while (written < 50'000'000) {
            line = "2026-05-12 08:00,21.3,47,1016.3,1001.9,9.6,81,6.4,8.9,1.8,2.8,287,0.0,0,0.0,0.0,10.0,191.4," +
                   std::to_string(random() % 100000) + "\r\n";
            out << line;
            written += line.size();
        }
    }
    std::uint64_t held = 0;
    for (auto _ : state) {
        if (CountHeldBytes(copy, held))
            state.SkipWithError("cannot read the copy");
        benchmark::DoNotOptimize(held);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(copy)));
    fs::remove_all(folder);
}
BENCHMARK(BM_CountHeldBytes50MB)->Unit(benchmark::kMillisecond);

// A whole fetch from the simulated console at its real pace, a report of 60
// bytes a millisecond: the share of the console's rate the fetch reaches, and
// how often it tells its progress.
void BM_FetchAtConsolePace(benchmark::State& state)
{
    constexpr std::size_t kFileSize = 120'030;  // 2001 reports
    constexpr double kConsoleBytesPerSecond = 60'000.0;
    SimulatedConsole console;
    SimTransport transport(console);
    ConsoleLink link(transport);
    link.Open();
    const fs::path folder = ScratchFolder("pace");
    RecordingCard card(link, folder);
    std::string content;
    for (std::size_t i = 0; content.size() < kFileSize; ++i)
        content += "2026-05-12 " + std::to_string(10000 + i) + ",21.3,47,1016.3,1001.9,9.6,81,6.4,8.9\n";
    content.resize(kFileSize);
    console.Card().AddFile("pace.csv", content);
    const ListingOutcome listing = card.List();
    const auto file = std::find_if(listing.files.begin(), listing.files.end(),
                                   [](const RecordingEntry& f) { return f.name == "pace.csv"; });
    if (file == listing.files.end()) {
        state.SkipWithError("the card does not list the file");
        return;
    }
    std::int64_t progressCalls = 0;
    double seconds = 0.0;
    for (auto _ : state) {
        fs::remove(folder / "pace.csv");
        const auto start = std::chrono::steady_clock::now();
        const FetchOutcome outcome = card.Fetch(*file, {}, [&](const FetchProgress&) { ++progressCalls; });
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (outcome.status != FetchStatus::Complete || outcome.fetched != kFileSize)
            state.SkipWithError("the fetch did not complete");
        seconds += elapsed;
        state.SetIterationTime(elapsed);
    }
    fs::remove_all(folder);
    const double bytes = static_cast<double>(kFileSize) * static_cast<double>(state.iterations());
    state.counters["share_of_console_rate"] = bytes / seconds / kConsoleBytesPerSecond;
    state.counters["progress_per_second"] = static_cast<double>(progressCalls) / seconds;
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_FetchAtConsolePace)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace vorelle
