#include "settings/MaxMinRecords.h"

#include "items/ItemCodec.h"
#include "link/ByteOrder.h"
#include "link/Commands.h"

#include <optional>

namespace vorelle {

namespace {

// The clear command's byte 1 is 4, not the 6 its bytes would count: the
// protocol fixes it so.
constexpr std::uint8_t kWriteMaxMinLength = 4;
constexpr ScreenCheckTiming kMaxMinScreenCheck{100, 500};

// An item of the block: its code, then its maximum and, for some, its
// minimum, each a value of the item.
struct MaxMinItemLayout {
    std::uint8_t code;
    MaxMinRecord MaxMinRecords::*record;  // null: skipped by its size
    bool hasMin;
};

constexpr MaxMinItemLayout kLayouts[] = {
    {item::IndoorTemp, &MaxMinRecords::indoorTemp, true},
    {item::OutdoorTemp, &MaxMinRecords::outdoorTemp, true},
    {item::DewPoint, &MaxMinRecords::dewPoint, true},
    {item::ExtraTemp04, nullptr, false},
    {item::IndoorHumidity, &MaxMinRecords::indoorHumidity, true},
    {item::OutdoorHumidity, &MaxMinRecords::outdoorHumidity, true},
    {item::AbsBarometer, &MaxMinRecords::absPressure, true},
    {item::RelBarometer, &MaxMinRecords::relPressure, true},
    {item::WindSpeed, &MaxMinRecords::windSpeed, false},
    {item::GustSpeed, &MaxMinRecords::gustSpeed, false},
    {item::RainRate, &MaxMinRecords::rainRate, false},
    {item::ExtraRain15, &MaxMinRecords::extraRain15, false},
    {item::RainToday, &MaxMinRecords::dailyRain, false},
    {item::SolarRadiation, &MaxMinRecords::light, false},
    {item::Extra22, nullptr, false},
    {item::UvIndex, &MaxMinRecords::uvIndex, false},
    {item::FeelsLike, &MaxMinRecords::feelsLike, false},
};

const MaxMinItemLayout* MaxMinLayoutOf(std::uint8_t code)
{
    for (const MaxMinItemLayout& layout : kLayouts)
        if (layout.code == code)
            return &layout;
    return nullptr;
}

std::optional<std::size_t> MaxMinPayloadSize(std::uint8_t code)
{
    const MaxMinItemLayout* layout = MaxMinLayoutOf(code);
    if (!layout)
        return std::nullopt;
    return *ItemValueSize(code) * (layout->hasMin ? 2 : 1);
}

}  // namespace

MaxMinRecords DecodeMaxMin(std::span<const std::uint8_t> block, const MaxMinRecords& previous)
{
    MaxMinRecords records = previous;
    ForEachItem(
        block, MaxMinPayloadSize,
        [&records](std::uint8_t code, std::span<const std::uint8_t> values) {
            const MaxMinItemLayout& layout = *MaxMinLayoutOf(code);
            if (!layout.record)
                return;
            // Temperatures are signed (their not-set 7F FF reads as 0x7FFF
            // all the same), the others unsigned.
            const bool isSigned = KindOfItem(code) == ItemKind::Temperature;
            const std::size_t bytes = *ItemValueSize(code);
            MaxMinRecord& record = records.*(layout.record);
            record.max = ReadNumber(values.first(bytes), isSigned);
            if (layout.hasMin)
                record.min = ReadNumber(values.subspan(bytes), isSigned);
            record.present = true;
        },
        kMaxMinItemsEnd);
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
    StoreLittleEndian32(mask, command.data() + 2);
    return command;
}

SaveOutcome ClearMaxMin(ConsoleLink& link, ScreenFlag& flag, const MaxMinClearBoxes& boxes)
{
    return SaveWithScreenCheck(link, flag, BuildWriteMaxMin(ClearMask(boxes)), CMD_WRITE_MAXMIN, kMaxMinScreenCheck,
                               kClearSuccessText, kNotConnectedNothingClearedText);
}

}  // namespace vorelle
