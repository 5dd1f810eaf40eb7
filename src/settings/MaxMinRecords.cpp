#include "settings/MaxMinRecords.h"

#include "link/Commands.h"

#include <optional>

namespace vorelle {

namespace {

// The clear command's byte 1 is 4, not the 6 its bytes would count: the
// protocol fixes it so.
constexpr std::uint8_t kWriteMaxMinLength = 4;
constexpr ScreenCheckTiming kMaxMinScreenCheck{100, 500};

enum class Value { Signed16, Byte, Unsigned16, Unsigned32 };

struct MaxMinItemLayout {
    std::uint8_t id;
    std::size_t size;                    // with the id
    MaxMinRecord MaxMinRecords::*record;  // null: skipped by its size
    Value value;
    bool hasMin;
};

constexpr MaxMinItemLayout kLayouts[] = {
    {1, 5, &MaxMinRecords::indoorTemp, Value::Signed16, true},
    {2, 5, &MaxMinRecords::outdoorTemp, Value::Signed16, true},
    {3, 5, &MaxMinRecords::dewPoint, Value::Signed16, true},
    {4, 3, nullptr, Value::Unsigned16, false},
    {6, 3, &MaxMinRecords::indoorHumidity, Value::Byte, true},
    {7, 3, &MaxMinRecords::outdoorHumidity, Value::Byte, true},
    {8, 5, &MaxMinRecords::absPressure, Value::Unsigned16, true},
    {9, 5, &MaxMinRecords::relPressure, Value::Unsigned16, true},
    {11, 3, &MaxMinRecords::windSpeed, Value::Unsigned16, false},
    {12, 3, &MaxMinRecords::gustSpeed, Value::Unsigned16, false},
    {14, 3, &MaxMinRecords::rainRate, Value::Unsigned16, false},
    {15, 3, &MaxMinRecords::extraRain15, Value::Unsigned16, false},
    {16, 3, &MaxMinRecords::dailyRain, Value::Unsigned16, false},
    {21, 5, &MaxMinRecords::light, Value::Unsigned32, false},
    {22, 3, nullptr, Value::Unsigned16, false},
    {23, 2, &MaxMinRecords::uvIndex, Value::Byte, false},
    {25, 3, &MaxMinRecords::feelsLike, Value::Signed16, false},
};

std::optional<MaxMinItemLayout> MaxMinLayoutOf(std::uint8_t id)
{
    for (const MaxMinItemLayout& layout : kLayouts)
        if (layout.id == id)
            return layout;
    return std::nullopt;
}

std::size_t ValueBytes(Value value)
{
    switch (value) {
    case Value::Byte:
        return 1;
    case Value::Signed16:
    case Value::Unsigned16:
        return 2;
    case Value::Unsigned32:
        return 4;
    }
    return 0;
}

std::int32_t Read(Value value, const std::uint8_t* bytes)
{
    std::uint32_t raw = 0;
    for (std::size_t i = 0; i < ValueBytes(value); ++i)
        raw = (raw << 8) | bytes[i];
    if (value == Value::Signed16)
        // The not-set pattern 7F FF reads as 0x7FFF all the same.
        return static_cast<std::int16_t>(raw);
    return static_cast<std::int32_t>(raw);
}

}  // namespace

MaxMinRecords DecodeMaxMin(std::span<const std::uint8_t> block, const MaxMinRecords& previous)
{
    MaxMinRecords records = previous;
    std::size_t at = 0;
    while (at < kMaxMinItemsEnd && at < block.size()) {
        const std::optional<MaxMinItemLayout> layout = MaxMinLayoutOf(block[at]);
        if (!layout || layout->size > block.size() - at)
            break;
        if (layout->record) {
            MaxMinRecord& record = records.*(layout->record);
            const std::uint8_t* values = block.data() + at + 1;
            record.max = Read(layout->value, values);
            if (layout->hasMin)
                record.min = Read(layout->value, values + ValueBytes(layout->value));
            record.present = true;
        }
        at += layout->size;
    }
    return records;
}

MaxMinClearBoxes MaxMinClearBoxes::All()
{
    return {true, true, true, true, true, true, true, true, true, true, true, true};
}

std::uint32_t ClearMask(const MaxMinClearBoxes& boxes)
{
    std::uint32_t mask = 0;
    const auto add = [&mask](bool ticked, std::uint32_t bits) {
        if (ticked)
            mask |= bits;
    };
    add(boxes.indoorTemp, clear_bit::IndoorTemp);
    add(boxes.indoorHumidity, clear_bit::IndoorHumidity);
    add(boxes.absPressure, clear_bit::AbsPressure);
    add(boxes.relPressure, clear_bit::RelPressure);
    add(boxes.outdoorTemp, clear_bit::OutdoorTemp);
    add(boxes.outdoorHumidity, clear_bit::OutdoorHumidity);
    add(boxes.feelsLike, clear_bit::FeelsLike);
    add(boxes.dewPoint, clear_bit::DewPoint);
    add(boxes.windSpeed, clear_bit::WindSpeed);
    add(boxes.gustSpeed, clear_bit::GustSpeed);
    add(boxes.solarRadiation, clear_bit::SolarRadiation);
    add(boxes.uvIndex, clear_bit::UvIndex);
    return mask;
}

Report BuildWriteMaxMin(std::uint32_t mask)
{
    Report command = MakeCommand(CMD_WRITE_MAXMIN);
    command[1] = kWriteMaxMinLength;
    for (std::size_t i = 0; i < 4; ++i)
        command[2 + i] = static_cast<std::uint8_t>(mask >> (8 * i));
    return command;
}

SaveOutcome ClearMaxMin(ConsoleLink& link, ScreenFlag& flag, const MaxMinClearBoxes& boxes)
{
    return SaveWithScreenCheck(link, flag, BuildWriteMaxMin(ClearMask(boxes)), CMD_WRITE_MAXMIN, kMaxMinScreenCheck,
                               kClearSuccessText, kNotConnectedNothingClearedText);
}

}  // namespace vorelle
