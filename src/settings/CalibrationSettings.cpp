#include "settings/CalibrationSettings.h"

#include "link/BigEndian.h"
#include "link/Commands.h"
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

enum class Quantity { Temperature, Humidity, Pressure, Direction };

Quantity QuantityOf(CalibrationRow row)
{
    switch (row) {
    case CalibrationRow::IndoorTemp:
    case CalibrationRow::OutdoorTemp:
        return Quantity::Temperature;
    case CalibrationRow::IndoorHumidity:
    case CalibrationRow::OutdoorHumidity:
        return Quantity::Humidity;
    case CalibrationRow::AbsPressure:
    case CalibrationRow::RelPressure:
        return Quantity::Pressure;
    case CalibrationRow::WindDirection:
        break;
    }
    return Quantity::Direction;
}

std::size_t ValueBytes(Quantity quantity) { return quantity == Quantity::Humidity ? 1 : 2; }

// The item ids of the rows, in row order.
constexpr std::uint8_t kRowIds[kCalibrationRows] = {1, 2, 6, 7, 8, 9, 10};

// Where an item of the block goes, and how wide its value is.
struct ItemTarget {
    std::int32_t* value;
    std::size_t bytes;
};

// Nothing for an id that ends the block.
std::optional<ItemTarget> TargetOf(CalibrationOffsets& offsets, std::uint8_t id)
{
    for (std::size_t i = 0; i < kCalibrationRows; ++i)
        if (kRowIds[i] == id)
            return ItemTarget{&offsets.rows[i], ValueBytes(QuantityOf(static_cast<CalibrationRow>(i)))};
    switch (id) {
    case 11:
        return ItemTarget{&offsets.windGain, 1};
    case 13:
        return ItemTarget{&offsets.rainGain, 1};
    case 21:
        return ItemTarget{&offsets.lightGain, 1};
    default:
        return std::nullopt;
    }
}

std::string Fixed(double value, int decimals)
{
    std::string text;
    AppendFixed(text, static_cast<float>(value), decimals);
    return text;
}

std::string ShowOffset(Quantity quantity, const UnitCodes& units, std::int32_t value)
{
    switch (quantity) {
    case Quantity::Temperature:
        if (value == kCalibrationNotSet)
            return std::string(kMissingIntegerText);
        // A difference of temperatures: no 32 is added in °F.
        return Fixed(units.temperature == kTempCelsius ? value / 10.0 : value * 1.8 / 10.0, 1);
    case Quantity::Pressure:
        if (units.pressure == kPressureHpa)
            return Fixed(value / 10.0, 1);
        if (units.pressure == kPressureInHg)
            return Fixed(value / kInHgPerHpa / 10.0, 2);
        return Fixed(value / kMmHgPerHpa / 10.0, 1);
    case Quantity::Direction:
        if (value == kCalibrationNotSet)
            return std::string(kMissingIntegerText);
        break;
    case Quantity::Humidity:
        break;
    }
    std::string text;
    AppendInteger(text, value);
    return text;
}

// A typed offset in console units, rounded half away from zero as the check
// and the write both take it.
std::int32_t ParseOffset(Quantity quantity, const UnitCodes& units, const std::string& text)
{
    const bool marked = text == kMissingIntegerText;
    switch (quantity) {
    case Quantity::Temperature: {
        if (marked)
            return kCalibrationNotSet;
        const double x = ReadLeadingNumber(text);
        return RoundHalfAwayFromZero((units.temperature == kTempCelsius ? x : x / 1.8) * 10.0);
    }
    case Quantity::Pressure: {
        const double tenths = ReadLeadingNumber(text) * 10.0;
        if (units.pressure == kPressureHpa)
            return RoundHalfAwayFromZero(tenths);
        return RoundHalfAwayFromZero(tenths * (units.pressure == kPressureInHg ? kInHgPerHpa : kMmHgPerHpa));
    }
    case Quantity::Direction:
        if (marked)
            return kCalibrationNotSet;
        break;
    case Quantity::Humidity:
        break;
    }
    return ReadLeadingInteger(text);
}

// The latest reading an offset applies to, if the sensor reported one.
std::optional<std::int64_t> ReadingOf(CalibrationRow row, const LiveValues& current)
{
    constexpr std::int32_t kWordMissing = 0xFFFF;
    constexpr std::int32_t kTempMissing = 0x7FFF;
    constexpr std::int32_t kByteMissing = 255;
    std::int32_t reading = 0;
    bool missing = false;
    switch (row) {
    case CalibrationRow::IndoorTemp:
    case CalibrationRow::OutdoorTemp:
        reading = row == CalibrationRow::IndoorTemp ? current.IndoorTemp : current.OutdoorTemp;
        missing = reading == kTempMissing || reading == kWordMissing;
        break;
    case CalibrationRow::IndoorHumidity:
    case CalibrationRow::OutdoorHumidity:
        // A missing humidity comes as FF FF, or as the byte FF.
        reading = row == CalibrationRow::IndoorHumidity ? current.IndoorHumidity : current.OutdoorHumidity;
        missing = reading == kWordMissing || reading == kByteMissing;
        break;
    case CalibrationRow::WindDirection:
        reading = current.WindDir;
        missing = reading == kWordMissing;
        break;
    case CalibrationRow::AbsPressure:
    case CalibrationRow::RelPressure:
        return std::nullopt;
    }
    if (missing)
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
    case Quantity::Temperature:
        corrected = alone = {-400, 600};
        message = kOffsetTemperatureMessage;
        break;
    case Quantity::Humidity:
        // From a reading of 99 % down to 1 %, or up from 1 % to 99 %.
        corrected = {1, 99};
        alone = {-98, 98};
        field = kInt8;
        message = kOffsetHumidityMessage;
        break;
    case Quantity::Pressure:
        corrected = alone = {-8000, 8000};
        message = kOffsetPressureMessage;
        break;
    case Quantity::Direction:
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
    const std::size_t received = ReplyLength(block);
    constexpr std::size_t kFirstItem = 2;
    std::size_t at = kFirstItem;
    while (at - kFirstItem < kCalibrationItemsEnd && at < received) {
        const std::optional<ItemTarget> target = TargetOf(offsets, block[at]);
        if (!target || 1 + target->bytes > received - at)
            break;
        const std::uint32_t raw = ReadBigEndian(block.subspan(at + 1, target->bytes));
        *target->value = target->bytes == 1 ? static_cast<std::int8_t>(raw) : static_cast<std::int16_t>(raw);
        at += 1 + target->bytes;
    }
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
        const Quantity quantity = QuantityOf(row);
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
    std::size_t at = 2;
    for (std::size_t i = 0; i < kCalibrationRows; ++i) {
        const std::size_t bytes = ValueBytes(QuantityOf(static_cast<CalibrationRow>(i)));
        command[at++] = kRowIds[i];
        PutBigEndian(std::span(command).subspan(at, bytes), static_cast<std::uint32_t>(offsets.rows[i]));
        at += bytes;
    }
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
