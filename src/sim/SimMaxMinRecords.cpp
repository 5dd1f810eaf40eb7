#include "sim/SimMaxMinRecords.h"

#include "live/LiveItems.h"

namespace vorelle {

SimMaxMinRecords::SimMaxMinRecords()
    // A few weeks of spring: a mild indoors, a cold night and a warm
    // afternoon outside, one squally day, a bright noon. Items in id order.
    : records_{{
          {item::IndoorTemp, Kind::Temperature, true, 1u << 0, 1u << 1, &LiveValues::IndoorTemp, 236, 188},
          {item::OutdoorTemp, Kind::Temperature, true, 1u << 8, 1u << 9, &LiveValues::OutdoorTemp, 178, 21},
          {item::DewPoint, Kind::Temperature, true, 1u << 14, 1u << 15, &LiveValues::DewPointTemp, 124, -18},
          {item::IndoorHumidity, Kind::Byte, true, 1u << 2, 1u << 3, &LiveValues::IndoorHumidity, 57, 38},
          {item::OutdoorHumidity, Kind::Byte, true, 1u << 10, 1u << 11, &LiveValues::OutdoorHumidity, 96, 34},
          {item::AbsBarometer, Kind::Word, true, 1u << 4, 1u << 5, &LiveValues::AbsBarometer, 10089, 9874},
          {item::RelBarometer, Kind::Word, true, 1u << 6, 1u << 7, &LiveValues::RelBarometer, 10233, 10018},
          {item::WindSpeed, Kind::Word, false, 1u << 16, 0, &LiveValues::WindSpeed, 86, 0},
          {item::GustSpeed, Kind::Word, false, 1u << 17, 0, &LiveValues::GustSpeed, 152, 0},
          {item::SolarRadiation, Kind::Light, false, 1u << 18, 0, &LiveValues::SolarRadiation, 812000, 0},
          {item::UvIndex, Kind::Byte, false, 1u << 19, 0, &LiveValues::UvIndex, 7, 0},
          // Both of its bits clear the one record it has.
          {item::FeelsLike, Kind::Temperature, false, 3u << 12, 0, &LiveValues::FeelsLikeTemp, 178, 0},
      }}
{
}

std::int32_t SimMaxMinRecords::NotSet(Kind kind)
{
    switch (kind) {
    case Kind::Temperature:
        return 0x7FFF;
    case Kind::Byte:
        return 0xFF;
    case Kind::Word:
        return 0xFFFF;
    case Kind::Light:
        return 0x00FFFFFF;
    }
    return 0;
}

bool SimMaxMinRecords::Missing(Kind kind, std::int32_t reading)
{
    switch (kind) {
    case Kind::Temperature:
        // A missing temperature reads as 0x7FFF or 0xFFFF, as in the live record.
        return reading < -0x8000 || reading >= 0x7FFF;
    case Kind::Byte:
        return reading < 0 || reading >= 0xFF;
    case Kind::Word:
        return reading < 0 || reading >= 0xFFFF;
    case Kind::Light:
        return reading < 0 || reading >= 0x00FFFFFF;
    }
    return true;
}

void SimMaxMinRecords::Update(const LiveValues& reading)
{
    std::lock_guard lock(mutex_);
    for (Record& record : records_) {
        const std::int32_t value = reading.*(record.field);
        if (Missing(record.kind, value))
            continue;
        const std::int32_t notSet = NotSet(record.kind);
        if (record.max == notSet || value > record.max)
            record.max = value;
        if (record.hasMin && (record.min == notSet || value < record.min))
            record.min = value;
    }
}

void SimMaxMinRecords::Clear(std::uint32_t mask)
{
    std::lock_guard lock(mutex_);
    for (Record& record : records_) {
        if (mask & record.maxBits)
            record.max = NotSet(record.kind);
        if (mask & record.minBits)
            record.min = NotSet(record.kind);
    }
}

std::vector<std::uint8_t> SimMaxMinRecords::Encode() const
{
    std::vector<std::uint8_t> block;
    const auto put = [&block](Kind kind, std::int32_t value) {
        const std::size_t bytes = kind == Kind::Byte ? 1 : kind == Kind::Light ? 4 : 2;
        const auto raw = static_cast<std::uint32_t>(value);
        for (std::size_t i = bytes; i-- > 0;)
            block.push_back(static_cast<std::uint8_t>(raw >> (8 * i)));
    };
    std::lock_guard lock(mutex_);
    for (const Record& record : records_) {
        block.push_back(record.id);
        put(record.kind, record.max);
        if (record.hasMin)
            put(record.kind, record.min);
    }
    return block;
}

}  // namespace vorelle
