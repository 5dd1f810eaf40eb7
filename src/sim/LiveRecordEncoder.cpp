#include "sim/LiveRecordEncoder.h"

#include "live/LiveItems.h"

#include <ctime>

namespace vorelle {

namespace {

void PutBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value, std::size_t count)
{
    for (std::size_t i = count; i-- > 0;)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint32_t RawValue(ItemKind kind, std::int32_t value)
{
    switch (kind) {
    case ItemKind::Temperature:
        return (value == 0x7FFF || value == 0xFFFF) ? 0x7FFF : static_cast<std::uint16_t>(value);
    case ItemKind::Signed16:
    case ItemKind::Unsigned16:
        return static_cast<std::uint16_t>(value);
    case ItemKind::Rain16:
        return value < 0 ? 0xFFFF : static_cast<std::uint16_t>(value);
    case ItemKind::Byte:
        return (value < 0 || value > 0xFF) ? 0xFF : static_cast<std::uint32_t>(value);
    case ItemKind::Rain32:
        return static_cast<std::uint32_t>(value);
    case ItemKind::Light:
        return static_cast<std::uint32_t>(value);
    case ItemKind::DateTime:
        return 0;
    }
    return 0;
}

}  // namespace

std::vector<std::uint8_t> LiveRecordItems(int channels, bool soil, bool pm25)
{
    std::vector<std::uint8_t> items = {
        item::IndoorTemp,    item::OutdoorTemp,  item::DewPoint,      item::FeelsLike,     item::IndoorHumidity,
        item::OutdoorHumidity, item::AbsBarometer, item::RelBarometer, item::WindDir,       item::WindSpeed,
        item::GustSpeed,     item::RainRate,     item::RainToday,     item::RainThisWeek,  item::RainThisMonth,
        item::RainThisYear,  item::SolarRadiation, item::UvIndex,     item::DateTime,
    };
    for (int c = 0; c < channels && c < kChannelCount; ++c) {
        items.push_back(static_cast<std::uint8_t>(item::FirstChannelTemp + c));
        items.push_back(static_cast<std::uint8_t>(item::FirstChannelHumidity + c));
    }
    if (soil)
        items.push_back(item::Soil);
    if (pm25)
        items.push_back(item::Pm25);
    return items;
}

std::vector<std::uint8_t> EncodeLiveRecord(const LiveValues& values, const std::vector<std::uint8_t>& items,
                                           std::chrono::system_clock::time_point now)
{
    LiveValues source = values;
    std::vector<std::uint8_t> record;
    for (std::uint8_t code : items) {
        const std::optional<ItemKind> kind = KindOfItem(code);
        if (!kind)
            continue;
        record.push_back(code);
        if (*kind == ItemKind::DateTime) {
            const std::time_t t = std::chrono::system_clock::to_time_t(now);
            std::tm tm{};
            localtime_r(&t, &tm);
            PutBigEndian(record, static_cast<std::uint32_t>(tm.tm_year + 1900), 2);
            for (int part : {tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec})
                record.push_back(static_cast<std::uint8_t>(part));
            continue;
        }
        PutBigEndian(record, RawValue(*kind, *FieldOfItem(source, code)), ValueSize(*kind));
    }
    return record;
}

}  // namespace vorelle
