#include "sim/LiveRecordEncoder.h"

#include "items/ItemCodec.h"
#include "live/LiveItems.h"

#include <ctime>

namespace vorelle {

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
    ItemWriter record;
    for (std::uint8_t code : items) {
        if (!KindOfItem(code))
            continue;
        record.Code(code);
        if (const std::int32_t* field = FieldOfItem(values, code)) {
            record.Reading(code, *field);
            continue;
        }
        // The date and time item.
        const std::time_t t = std::chrono::system_clock::to_time_t(now);
        std::tm tm{};
        localtime_r(&t, &tm);
        record.Number(2, static_cast<std::uint32_t>(tm.tm_year + 1900));
        for (int part : {tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec})
            record.Byte(static_cast<std::uint8_t>(part));
    }
    return record.Bytes();
}

}  // namespace vorelle
