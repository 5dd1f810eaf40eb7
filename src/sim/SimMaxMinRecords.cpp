#include "sim/SimMaxMinRecords.h"

#include "items/ItemCodec.h"
#include "live/LiveItems.h"

namespace vorelle {

namespace {

// A record no reading has set yet: its item's missing pattern.
std::int32_t NotSetRecord(std::uint8_t id) { return MissingPatternOf(*KindOfItem(id)); }

}  // namespace

SimMaxMinRecords::SimMaxMinRecords()
    // A few weeks of spring: a mild indoors, a cold night and a warm
    // afternoon outside, one squally day, a bright noon. Items in id order.
    : records_{{
          {item::IndoorTemp, true, 1u << 0, 1u << 1, 236, 188},
          {item::OutdoorTemp, true, 1u << 8, 1u << 9, 178, 21},
          {item::DewPoint, true, 1u << 14, 1u << 15, 124, -18},
          {item::IndoorHumidity, true, 1u << 2, 1u << 3, 57, 38},
          {item::OutdoorHumidity, true, 1u << 10, 1u << 11, 96, 34},
          {item::AbsBarometer, true, 1u << 4, 1u << 5, 10089, 9874},
          {item::RelBarometer, true, 1u << 6, 1u << 7, 10233, 10018},
          {item::WindSpeed, false, 1u << 16, 0, 86, 0},
          {item::GustSpeed, false, 1u << 17, 0, 152, 0},
          {item::SolarRadiation, false, 1u << 18, 0, 812000, 0},
          {item::UvIndex, false, 1u << 19, 0, 7, 0},
          // Both of its bits clear the one record it has.
          {item::FeelsLike, false, 3u << 12, 0, 178, 0},
      }}
{
}

void SimMaxMinRecords::Update(const LiveValues& reading)
{
    std::lock_guard lock(mutex_);
    for (Record& record : records_) {
        const std::int32_t value = *FieldOfItem(reading, record.id);
        if (!CarriesReading(*KindOfItem(record.id), value))
            continue;
        const std::int32_t notSet = NotSetRecord(record.id);
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
            record.max = NotSetRecord(record.id);
        if (mask & record.minBits)
            record.min = NotSetRecord(record.id);
    }
}

std::vector<std::uint8_t> SimMaxMinRecords::Encode() const
{
    ItemWriter block;
    std::lock_guard lock(mutex_);
    for (const Record& record : records_) {
        block.Code(record.id);
        block.Value(record.id, static_cast<std::uint32_t>(record.max));
        if (record.hasMin)
            block.Value(record.id, static_cast<std::uint32_t>(record.min));
    }
    return block.Bytes();
}

}  // namespace vorelle
