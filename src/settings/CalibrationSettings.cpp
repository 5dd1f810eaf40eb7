#include "settings/CalibrationSettings.h"

#include "items/ItemCodec.h"
#include "link/Commands.h"
#include "link/ReplyArea.h"
#include "live/LiveItems.h"
#include "settings/FormField.h"
#include "units/Formatters.h"
#include "units/NumberText.h"
#include "units/Parsers.h"

#include <algorithm>
#include <limits>

namespace vorelle {

namespace {

constexpr std::uint8_t kWriteCalibLength = 21;
constexpr ScreenCheckTiming kCalibrationScreenCheck{50, 500};
constexpr double kMmHgPerHpa = 1.33322;    // hPa in one mmHg
constexpr double kInHgPerHpa = 33.86388;   // hPa in one inHg

// The item of each row, in row order.
constexpr std::uint8_t kRowCodes[kCalibrationRows] = {item::IndoorTemp,   item::OutdoorTemp,  item::IndoorHumidity,
                                                      item::OutdoorHumidity, item::AbsBarometer, item::RelBarometer,
                                                      item::WindDir};

std::uint8_t CodeOf(CalibrationRow row) { return kRowCodes[static_cast<std::size_t>(row)]; }

ItemQuantity QuantityOf(CalibrationRow row) { return FindItem(CodeOf(row))->quantity; }

// The gains the console keeps under the items of what they scale: a byte
// each, whatever the item's own value.
struct Gain {
    std::uint8_t code;
    std::int32_t CalibrationOffsets::*field;
};
constexpr Gain kGains[] = {{item::WindSpeed, &CalibrationOffsets::windGain},
                           {item::ExtraRain13, &CalibrationOffsets::rainGain},
                           {item::SolarRadiation, &CalibrationOffsets::lightGain}};
constexpr std::size_t kGainBytes = 1;

// Where an item of the block goes, and how many bytes it carries.
struct ItemTarget {
    std::int32_t* value;
    std::size_t bytes;
};

// Nothing for a code that ends the block.
std::optional<ItemTarget> TargetOf(CalibrationOffsets& offsets, std::uint8_t code)
{
    for (std::size_t i = 0; i < kCalibrationRows; ++i)
        if (kRowCodes[i] == code)
            return ItemTarget{&offsets.rows[i], *ItemValueSize(code)};
    for (const Gain& gain : kGains)
        if (gain.code == code)
            return ItemTarget{&(offsets.*gain.field), kGainBytes};
    return std::nullopt;
}

std::string Fixed(double value, int decimals)
{
    std::string text;
    AppendFixed(text, static_cast<float>(value), decimals);
    return text;
}

std::string ShowOffset(ItemQuantity quantity, const UnitCodes& units, std::int32_t value)
{
    switch (quantity) {
    case ItemQuantity::Temperature:
        if (value == kCalibrationNotSet)
            return std::string(kMissingIntegerText);
        // A difference of temperatures: no 32 is added in °F.
        return Fixed(units.temperature == kTempCelsius ? value / 10.0 : value * 1.8 / 10.0, 1);
    case ItemQuantity::Pressure:
        if (units.pressure == kPressureHpa)
            return Fixed(value / 10.0, 1);
        if (units.pressure == kPressureInHg)
            return Fixed(value / kInHgPerHpa / 10.0, 2);
        return Fixed(value / kMmHgPerHpa / 10.0, 1);
    case ItemQuantity::WindDirection:
        if (value == kCalibrationNotSet)
            return std::string(kMissingIntegerText);
        break;
    default:  // humidity
        break;
    }
    std::string text;
    AppendInteger(text, value);
    return text;
}

// A typed offset in console units, rounded half away from zero as the check
// and the write both take it.
std::int32_t ParseOffset(ItemQuantity quantity, const UnitCodes& units, const std::string& text)
{
    const bool marked = text == kMissingIntegerText;
    switch (quantity) {
    case ItemQuantity::Temperature: {
        if (marked)
            return kCalibrationNotSet;
        const double x = ReadLeadingNumber(text);
        return RoundHalfAwayFromZero((units.temperature == kTempCelsius ? x : x / 1.8) * 10.0);
    }
    case ItemQuantity::Pressure: {
        const double tenths = ReadLeadingNumber(text) * 10.0;
        if (units.pressure == kPressureHpa)
            return RoundHalfAwayFromZero(tenths);
        return RoundHalfAwayFromZero(tenths * (units.pressure == kPressureInHg ? kInHgPerHpa : kMmHgPerHpa));
    }
    case ItemQuantity::WindDirection:
        if (marked)
            return kCalibrationNotSet;
        break;
    default:  // humidity
        break;
    }
    return ReadLeadingInteger(text);
}

// The latest reading an offset applies to, if the sensor reported one.
// Pressure offsets are held to a range of their own.
std::optional<std::int64_t> ReadingOf(CalibrationRow row, const LiveValues& current)
{
    const std::uint8_t code = CodeOf(row);
    const std::int32_t reading = *FieldOfItem(current, code);
    if (QuantityOf(row) == ItemQuantity::Pressure || !CarriesReading(*KindOfItem(code), reading))
        return std::nullopt;
    return reading;
}

struct Limits {
    std::int64_t lowest;
    std::int64_t highest;
};

bool Within(std::int64_t value, Limits limits) { return value >= limits.lowest && value <= limits.highest; }

std::optional<std::string> Refusal(CalibrationRow row, std::int32_t offset, std::int32_t shown,
                                   const LiveValues& current)
{
    constexpr Limits kInt16{std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()};
    constexpr Limits kInt8{std::numeric_limits<std::int8_t>::min(), std::numeric_limits<std::int8_t>::max()};
    Limits corrected{};  // the reading once corrected
    Limits alone{};      // the offset itself, without a reading to apply it to
    Limits field = kInt16;
    std::string_view message;
    switch (QuantityOf(row)) {
    case ItemQuantity::Temperature:
        corrected = alone = {-400, 600};
        message = kOffsetTemperatureMessage;
        break;
    case ItemQuantity::Humidity:
        // From a reading of 99 % down to 1 %, or up from 1 % to 99 %.
        corrected = {1, 99};
        alone = {-98, 98};
        field = kInt8;
        message = kOffsetHumidityMessage;
        break;
    case ItemQuantity::Pressure:
        corrected = alone = {-8000, 8000};
        message = kOffsetPressureMessage;
        break;
    default:  // the wind direction
        corrected = {0, 360};
        alone = {-360, 360};
        message = kOffsetWindDirectionMessage;
        break;
    }
    const std::optional<std::int64_t> reading = ReadingOf(row, current);
    const bool inRange = reading ? Within(*reading - shown + offset, corrected) : Within(offset, alone);
    if (!inRange || !Within(offset, field))
        return std::string(message);
    return std::nullopt;
}

}  // namespace

CalibrationOffsets DecodeCalibration(std::span<const std::uint8_t> block, const CalibrationOffsets& previous)
{
    CalibrationOffsets offsets = previous;
    const auto payloadSize = [&offsets](std::uint8_t code) {
        const std::optional<ItemTarget> target = TargetOf(offsets, code);
        return target ? std::optional(target->bytes) : std::nullopt;
    };
    // Offsets and gains alike are signed.
    ForEachItem(
        ReplyPayload(block), payloadSize,
        [&offsets](std::uint8_t code, std::span<const std::uint8_t> value) {
            *TargetOf(offsets, code)->value = ReadNumber(value, true);
        },
        kCalibrationItemsEnd);
    return offsets;
}

CalibrationForm ShowCalibration(const CalibrationOffsets& offsets, const UnitCodes& units)
{
    CalibrationForm form;
    for (std::size_t i = 0; i < kCalibrationRows; ++i) {
        const auto row = static_cast<CalibrationRow>(i);
        form[row] = ShowOffset(QuantityOf(row), units, offsets[row]);
    }
    return form;
}

CalibrationInput ReadCalibrationForm(const CalibrationForm& form, const CalibrationOffsets& shown,
                                     const UnitCodes& units, const LiveValues& current)
{
    CalibrationInput input{shown, std::nullopt};
    for (std::size_t i = 0; i < kCalibrationRows; ++i) {
        const auto row = static_cast<CalibrationRow>(i);
        if (std::optional<std::string> refusal = EmptyFieldRefusal(form[row], kCalibrationFieldNames[i]))
            return {shown, std::move(refusal)};
        const ItemQuantity quantity = QuantityOf(row);
        const FieldReading field = ReadFormField(
            form[row], shown[row], [&](std::int32_t value) { return ShowOffset(quantity, units, value); },
            [&](const std::string& text) { return ParseOffset(quantity, units, text); });
        if (!field.kept)
            if (std::optional<std::string> refusal = Refusal(row, field.value, shown[row], current))
                return {shown, std::move(refusal)};
        input.offsets[row] = field.value;
    }
    return input;
}

Report BuildWriteCalibration(const CalibrationOffsets& offsets)
{
    Report command = MakeCommand(CMD_WRITE_CALIB);
    command[1] = kWriteCalibLength;
    ItemWriter items;
    for (std::size_t i = 0; i < kCalibrationRows; ++i) {
        items.Code(kRowCodes[i]);
        items.Value(kRowCodes[i], static_cast<std::uint32_t>(offsets.rows[i]));
    }
    items.CopyTo(std::span(command).subspan(2));
    return command;
}

SaveOutcome SaveCalibration(ConsoleLink& link, ScreenFlag& flag, const CalibrationForm& form,
                            const CalibrationOffsets& shown, const UnitCodes& units, const LiveValues& current)
{
    const CalibrationInput input = ReadCalibrationForm(form, shown, units, current);
    if (input.refusal)
        return {SaveStatus::InvalidInput, *input.refusal};
    return SaveWithScreenCheck(link, flag, BuildWriteCalibration(input.offsets), CMD_WRITE_CALIB, kCalibrationScreenCheck,
                               kSaveSuccessText, kNotConnectedNothingSavedText);
}

}  // namespace vorelle
