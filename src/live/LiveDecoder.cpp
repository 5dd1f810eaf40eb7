#include "live/LiveDecoder.h"

#include "items/ItemCodec.h"
#include "live/LiveItems.h"

namespace vorelle {

void ResetLiveValues(LiveValues& values)
{
    for (int code = 0; code <= 0xFF; ++code) {
        const ItemRow* row = FindItem(static_cast<std::uint8_t>(code));
        std::int32_t* field = FieldOfItem(values, static_cast<std::uint8_t>(code));
        if (row && field)
            *field = row->unset;
    }
}

bool DecodeLive(std::span<const std::uint8_t> record, LiveValues& values)
{
    bool channelsPresent = false;
    ForEachItem(record, ItemValueSize, [&](std::uint8_t code, std::span<const std::uint8_t> value) {
        if (std::int32_t* field = FieldOfItem(values, code))
            *field = ReadReading(*KindOfItem(code), value);
        channelsPresent = channelsPresent || IsChannelItem(code);
    });
    return channelsPresent;
}

}  // namespace vorelle
