// Fuzz entry point for the live-record decoder and everything that shows its
// readings: every formatter and the board's texts. The input is the five
// display unit codes (temperature, pressure, wind, rain, light), then the
// record. Built with libFuzzer as live_fuzzer, and without it, under
// ReplayMain, as the corpus replay that ctest runs.
#include "FuzzInput.h"
#include "LiveRecordChecks.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vorelle;
    fuzz::FuzzInput input(data, size);
    UnitCodes units;
    units.temperature = input.Byte();
    units.pressure = input.Byte();
    units.wind = input.Byte();
    units.rain = input.Byte();
    units.light = input.Byte();
    fuzz::CheckShownReadings(fuzz::CheckDecodeLive(input.Rest(), units));
    return 0;
}
