// Fuzz entry point for the settings-block decoders and what their dialogs
// show and send: the input is one block of up to 256 bytes, read both as the
// basic settings block (whose bytes 2 to 6 give the display units) and as the
// max/min block, shown in those units. Rainfall totals decode no block; their
// dialog's typed text is the parsers target's. Built with libFuzzer as
// settings_fuzzer, and without it, under ReplayMain, as the corpus replay that
// ctest runs.
#include "SettingsBlockChecks.h"

#include "live/LiveExchanges.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vorelle;
    if (size > ReplyArea::kSlotSize)
        return 0;
    const std::span<const std::uint8_t> block(data, size);
    fuzz::CheckBasicSettingsBlock(block);
    const UnitCodes units = UnitCodesOfSettingsBlock(fuzz::PaddedBlock(block));
    fuzz::CheckShownMaxMin(fuzz::CheckMaxMinBlock(block), units);
    return 0;
}
