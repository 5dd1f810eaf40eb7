#include "live/LiveDecoder.h"

#include "live/LiveItems.h"

namespace vorelle {

namespace {

std::uint32_t BigEndian(const std::uint8_t* bytes, std::size_t count)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < count; ++i)
        value = (value << 8) | bytes[i];
    return value;
}

std::int32_t DecodeValue(ItemKind kind, const std::uint8_t* bytes)
{
    const std::uint32_t raw = BigEndian(bytes, ValueSize(kind));
    switch (kind) {
    case ItemKind::Temperature:
        return raw == 0x7FFF ? 0x7FFF : static_cast<std::int16_t>(raw);
    case ItemKind::Signed16:
        return raw == 0xFFFF ? 0xFFFF : static_cast<std::int16_t>(raw);
    case ItemKind::Unsigned16:
        return static_cast<std::int32_t>(raw);
    case ItemKind::Rain16:
        return raw == 0xFFFF ? -1 : static_cast<std::int32_t>(raw);
    case ItemKind::Byte:
        return raw == 0xFF ? 0xFFFF : static_cast<std::int32_t>(raw);
    case ItemKind::Rain32:
        return raw == 0xFFFFFFFFu ? -1 : static_cast<std::int32_t>(raw);
    case ItemKind::Light:
        return raw == 0x00FFFFFFu ? 0x00FFFFFF : static_cast<std::int32_t>(raw);
    case ItemKind::DateTime:
        return 0;
    }
    return 0;
}

}  // namespace

void ResetLiveValues(LiveValues& v)
{
    constexpr std::int32_t kWordMissing = 0xFFFF;
    constexpr std::int32_t kTempMissing = 0x7FFF;
    constexpr std::int32_t kByteMissing = 255;
    constexpr std::int32_t kRainMissing = -1;
    v.IndoorTemp = kWordMissing;
    v.OutdoorTemp = kWordMissing;
    v.IndoorHumidity = kByteMissing;
    v.OutdoorHumidity = kByteMissing;
    v.DewPointTemp = kTempMissing;
    v.ExtraTemp04 = kTempMissing;
    v.FeelsLikeTemp = kTempMissing;
    v.AbsBarometer = kWordMissing;
    v.RelBarometer = kWordMissing;
    v.WindSpeed = kWordMissing;
    v.GustSpeed = kWordMissing;
    v.WindDir = kWordMissing;
    v.SolarRadiation = 0x00FFFFFF;
    v.Extra22 = kWordMissing;
    v.UvIndex = kWordMissing;
    v.ExtraRain15 = kRainMissing;
    v.RainToday = kRainMissing;
    v.RainThisWeek = kRainMissing;
    v.RainThisMonth = kRainMissing;
    v.RainThisYear = kRainMissing;
    v.ExtraRain20 = kRainMissing;
    v.ExtraRain13 = kRainMissing;
    v.RainRate = kRainMissing;
    v.Soil = kWordMissing;
    v.Pm25 = kWordMissing;
    v.ChTemp.fill(kWordMissing);
    v.ChHumidity.fill(kWordMissing);
}

bool DecodeLive(std::span<const std::uint8_t> record, LiveValues& values)
{
    bool channelsPresent = false;
    std::size_t p = 0;
    while (p < record.size()) {
        const std::uint8_t code = record[p];
        const std::optional<ItemKind> kind = KindOfItem(code);
        if (!kind)
            break;
        const std::size_t size = ValueSize(*kind);
        // A truncated last item is not read from beyond the record.
        if (size > record.size() - p - 1)
            break;
        if (std::int32_t* field = FieldOfItem(values, code))
            *field = DecodeValue(*kind, record.data() + p + 1);
        if (IsChannelItem(code))
            channelsPresent = true;
        p += 1 + size;
    }
    return channelsPresent;
}

}  // namespace vorelle
