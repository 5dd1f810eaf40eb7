// The HEX converter against GNU objcopy on the same 1 MiB firmware file.
// Wall-clock time throughout: objcopy runs in a child process, whose CPU time
// the benchmark would not see.
#include "firmware/HexImage.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace vorelle {
namespace {

// A 1 MiB image at 0x08000000 written once as 16-byte records into a
// directory of its own, removed when the program ends.
class HexBenchFile {
public:
    static const HexBenchFile& Get()
    {
        static const HexBenchFile file;
        return file;
    }

    std::filesystem::path dir;
    std::filesystem::path hex;
    std::string text;

private:
    HexBenchFile()
    {
        std::random_device device;
        dir = std::filesystem::temp_directory_path() / ("vorelle2-hex-bench-" + std::to_string(device()));
        std::filesystem::create_directories(dir);
        hex = dir / "firmware.hex";
        std::vector<std::uint8_t> image(1024 * 1024);
        std::mt19937 random(7);
        for (auto& byte : image)
            byte = static_cast<std::uint8_t>(random());
        text = FormatHexImage(0x08000000, image);
        std::ofstream(hex, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    ~HexBenchFile()
    {
        std::error_code error;
        std::filesystem::remove_all(dir, error);
    }
};

void BM_HexConvertText(benchmark::State& state)
{
    const auto& file = HexBenchFile::Get();
    const std::span<const std::uint8_t> text(reinterpret_cast<const std::uint8_t*>(file.text.data()),
                                             file.text.size());
    for (auto _ : state) {
        HexConversion result = ConvertHexText(text);
        benchmark::DoNotOptimize(result.image.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.text.size()));
}
BENCHMARK(BM_HexConvertText)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HexConvertFile(benchmark::State& state)
{
    const auto& file = HexBenchFile::Get();
    const auto out = file.dir / "ours.bin";
    for (auto _ : state) {
        if (ConvertHexToImage(file.hex, out) != kHexImageWritten) {
            state.SkipWithError("conversion failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.text.size()));
}
BENCHMARK(BM_HexConvertFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HexObjcopy(benchmark::State& state)
{
    const auto& file = HexBenchFile::Get();
    const auto out = file.dir / "objcopy.bin";
    const std::string command =
        "objcopy -I ihex -O binary --gap-fill 0xFF '" + file.hex.string() + "' '" + out.string() + "'";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("objcopy failed or is not on PATH");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.text.size()));
}
BENCHMARK(BM_HexObjcopy)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace vorelle
