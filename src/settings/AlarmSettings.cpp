#include "settings/AlarmSettings.h"

#include "link/BigEndian.h"
#include "link/Commands.h"
#include "settings/FormField.h"
#include "units/Formatters.h"
#include "units/Parsers.h"

#include <algorithm>

namespace vorelle {

namespace {

constexpr std::uint8_t kWriteAlarmLength = 62;
constexpr ScreenCheckTiming kAlarmScreenCheck{50, 500};

enum class AlarmQuantity { Temperature, Humidity, Pressure, Speed, Rain };

// One item of the block and of the write: its id, then a threshold (and an
// on byte) for each of its rows.
struct ItemLayout {
    std::uint8_t id;
    AlarmQuantity quantity;
    AlarmRow high;
    std::optional<AlarmRow> low;
};

constexpr ItemLayout kItems[] = {
    {1, AlarmQuantity::Temperature, AlarmRow::IndoorTempHigh, AlarmRow::IndoorTempLow},
    {2, AlarmQuantity::Temperature, AlarmRow::OutdoorTempHigh, AlarmRow::OutdoorTempLow},
    {3, AlarmQuantity::Temperature, AlarmRow::DewPointHigh, AlarmRow::DewPointLow},
    {4, AlarmQuantity::Temperature, AlarmRow::FeelsLikeHigh, AlarmRow::FeelsLikeLow},
    {6, AlarmQuantity::Humidity, AlarmRow::IndoorHumidityHigh, AlarmRow::IndoorHumidityLow},
    {7, AlarmQuantity::Humidity, AlarmRow::OutdoorHumidityHigh, AlarmRow::OutdoorHumidityLow},
    {8, AlarmQuantity::Pressure, AlarmRow::AbsPressureHigh, AlarmRow::AbsPressureLow},
    {9, AlarmQuantity::Pressure, AlarmRow::RelPressureHigh, AlarmRow::RelPressureLow},
    {11, AlarmQuantity::Speed, AlarmRow::WindSpeed, std::nullopt},
    {12, AlarmQuantity::Speed, AlarmRow::GustSpeed, std::nullopt},
    {14, AlarmQuantity::Rain, AlarmRow::RainRate, std::nullopt},
    {16, AlarmQuantity::Rain, AlarmRow::DailyRain, std::nullopt},
};

// The order of the items in CMD_WRITE_ALARM.
constexpr std::uint8_t kWriteOrder[] = {1, 6, 8, 9, 2, 7, 3, 4, 11, 12};

const ItemLayout* LayoutOf(std::uint8_t id)
{
    const auto found = std::find_if(std::begin(kItems), std::end(kItems), [id](const ItemLayout& l) { return l.id == id; });
    return found == std::end(kItems) ? nullptr : found;
}

AlarmQuantity QuantityOf(AlarmRow row)
{
    for (const ItemLayout& layout : kItems)
        if (layout.high == row || layout.low == row)
            return layout.quantity;
    return AlarmQuantity::Rain;
}

// An item's rows in the order of their values.
std::array<std::optional<AlarmRow>, 2> RowsOf(const ItemLayout& layout) { return {layout.high, layout.low}; }

std::size_t AlarmValueBytes(AlarmQuantity quantity) { return quantity == AlarmQuantity::Humidity ? 1 : 2; }

std::size_t ItemSize(const ItemLayout& layout)
{
    return 1 + (AlarmValueBytes(layout.quantity) + 1) * (layout.low ? 2 : 1);
}

std::int32_t DecodeValue(AlarmQuantity quantity, std::span<const std::uint8_t> bytes)
{
    const std::uint32_t raw = ReadBigEndian(bytes);
    if (quantity == AlarmQuantity::Temperature && raw != 0x7FFF && raw != 0xFFFF)
        return static_cast<std::int16_t>(raw);
    return static_cast<std::int32_t>(raw);
}

std::string ShowValue(AlarmQuantity quantity, const UnitCodes& units, std::int32_t value)
{
    switch (quantity) {
    case AlarmQuantity::Temperature:
        return FormatTemperature(units.temperature, Show::NumberOnly, value);
    case AlarmQuantity::Humidity:
        return FormatPercent(PercentFormat::Plain, value);
    case AlarmQuantity::Pressure:
        return FormatPressure(units.pressure, Show::NumberOnly, value);
    case AlarmQuantity::Speed:
    case AlarmQuantity::Rain:  // the rain thresholds are neither shown nor read
        break;
    }
    return FormatWind(units.wind, Show::NumberOnly, value);
}

std::int32_t ParseValue(AlarmQuantity quantity, const UnitCodes& units, const std::string& text)
{
    switch (quantity) {
    case AlarmQuantity::Temperature:
        return ParseTemperature(units.temperature, text);
    case AlarmQuantity::Humidity:
        return ParseInteger(text, false);
    case AlarmQuantity::Pressure:
        return ParsePressure(units.pressure, text);
    case AlarmQuantity::Speed:
    case AlarmQuantity::Rain:  // the rain thresholds are neither shown nor read
        break;
    }
    return ParseWind(units.wind, text);
}

// What a field holds: a threshold typed, or one that is not checked (the
// console's own, left as shown, or "not set" typed).
struct FieldValue {
    std::int32_t value;
    bool unchecked;
};

FieldValue ReadField(AlarmQuantity quantity, const UnitCodes& units, const std::string& text, std::int32_t shown)
{
    const bool notSet = text == kMissingIntegerText || text == kMissingValueText;
    const FieldReading field = ReadFormField(
        text, shown, [&](std::int32_t value) { return ShowValue(quantity, units, value); },
        [&](const std::string& typed) {
            if (notSet)
                return quantity == AlarmQuantity::Humidity ? kAlarmHumidityNotSet : kAlarmWordNotSet;
            return ParseValue(quantity, units, typed);
        });
    return {field.value, field.kept || notSet};
}

// A typed temperature that would go out as FF FF, the console's not-set
// pattern, would silently switch its alarm off. (7F FF is past every range.)
std::optional<std::string> NotSetPatternRefusal(std::int32_t temperature, const std::string& text,
                                                const UnitCodes& units)
{
    if (temperature != -1)
        return std::nullopt;
    return "Alarm Temperature:" + text + std::string(TemperatureUnitName(units.temperature)) +
           " would be stored as -0.1\u00B0C, the console's mark for \"not set\"; choose another value";
}

std::optional<std::string> Refusal(AlarmRow row, const FieldValue& field, const std::string& text,
                                   const UnitCodes& units)
{
    if (field.unchecked)
        return std::nullopt;
    const std::int32_t v = field.value;
    switch (row) {
    case AlarmRow::IndoorTempHigh:
    case AlarmRow::IndoorTempLow:
    case AlarmRow::OutdoorTempHigh:
    case AlarmRow::OutdoorTempLow:
    case AlarmRow::DewPointHigh:
    case AlarmRow::DewPointLow:
        if (v < -400 || v > 600)
            return std::string(kAlarmTemperatureMessage);
        return NotSetPatternRefusal(v, text, units);
    case AlarmRow::FeelsLikeHigh:
    case AlarmRow::FeelsLikeLow:
        // Not held to a range, but to what its signed 16-bit field can carry.
        if (v < -32768 || v > 32766)
            return std::string(kAlarmFeelsLikeMessage);
        return NotSetPatternRefusal(v, text, units);
    case AlarmRow::IndoorHumidityHigh:
    case AlarmRow::IndoorHumidityLow:
    case AlarmRow::OutdoorHumidityHigh:
    case AlarmRow::OutdoorHumidityLow:
        if (v < 1 || v > 99)
            return std::string(kAlarmHumidityMessage);
        return std::nullopt;
    case AlarmRow::AbsPressureHigh:
    case AlarmRow::AbsPressureLow:
    case AlarmRow::RelPressureHigh:
    case AlarmRow::RelPressureLow:
        if (v < 3000 || v > 11000)
            return std::string(kAlarmBarometerMessage);
        return std::nullopt;
    case AlarmRow::WindSpeed:
    case AlarmRow::GustSpeed:
        // FF FF is "not set"; a negative speed would go out as FF xx.
        if (v < 0 || v >= kAlarmWordNotSet)
            return std::string(row == AlarmRow::WindSpeed ? "Alarm Wind Speed:0 to " : "Alarm Wind Gust Speed:0 to ") +
                   FormatWind(units.wind, Show::WithUnit, kAlarmWordNotSet - 1);
        return std::nullopt;
    case AlarmRow::RainRate:
    case AlarmRow::DailyRain:
        break;
    }
    return std::nullopt;
}

}  // namespace

AlarmThresholds DecodeAlarm(std::span<const std::uint8_t> block, const AlarmThresholds& previous)
{
    AlarmThresholds thresholds = previous;
    const std::size_t received = ReplyLength(block);
    constexpr std::size_t kFirstItem = 2;
    std::size_t at = kFirstItem;
    while (at - kFirstItem < kAlarmItemsEnd && at < received) {
        const ItemLayout* layout = LayoutOf(block[at]);
        if (!layout || ItemSize(*layout) > received - at)
            break;
        const std::size_t bytes = AlarmValueBytes(layout->quantity);
        std::size_t field = at + 1;
        for (const std::optional<AlarmRow>& row : RowsOf(*layout)) {
            if (!row)
                continue;
            thresholds[*row].value = DecodeValue(layout->quantity, block.subspan(field, bytes));
            thresholds[*row].on = block[field + bytes] != 0;
            field += bytes + 1;
        }
        at += ItemSize(*layout);
    }
    return thresholds;
}

AlarmForm ShowAlarm(const AlarmThresholds& thresholds, const UnitCodes& units)
{
    AlarmForm form;
    for (std::size_t i = 0; i < kAlarmShownRows; ++i) {
        const auto row = static_cast<AlarmRow>(i);
        form[row] = {ShowValue(QuantityOf(row), units, thresholds[row].value), thresholds[row].on};
    }
    return form;
}

AlarmInput ReadAlarmForm(const AlarmForm& form, const AlarmThresholds& shown, const UnitCodes& units)
{
    AlarmInput input{shown, std::nullopt};
    for (std::size_t i = 0; i < kAlarmShownRows; ++i) {
        const auto row = static_cast<AlarmRow>(i);
        if (std::optional<std::string> refusal = EmptyFieldRefusal(form[row].text, kAlarmFieldNames[i]))
            return {shown, std::move(refusal)};
        const FieldValue field = ReadField(QuantityOf(row), units, form[row].text, shown[row].value);
        if (std::optional<std::string> refusal = Refusal(row, field, form[row].text, units))
            return {shown, std::move(refusal)};
        input.thresholds[row] = {field.value, form[row].on};
    }
    return input;
}

Report BuildWriteAlarm(const AlarmThresholds& thresholds)
{
    Report command = MakeCommand(CMD_WRITE_ALARM);
    command[1] = kWriteAlarmLength;
    std::size_t at = 2;
    for (std::uint8_t id : kWriteOrder) {
        const ItemLayout& layout = *LayoutOf(id);
        const std::size_t bytes = AlarmValueBytes(layout.quantity);
        command[at++] = id;
        for (const std::optional<AlarmRow>& row : RowsOf(layout)) {
            if (!row)
                continue;
            PutBigEndian(std::span(command).subspan(at, bytes), static_cast<std::uint32_t>(thresholds[*row].value));
            at += bytes;
            command[at++] = thresholds[*row].on ? 1 : 0;
        }
    }
    return command;
}

SaveOutcome SaveAlarm(ConsoleLink& link, ScreenFlag& flag, const AlarmForm& form, const AlarmThresholds& shown,
                      const UnitCodes& units)
{
    const AlarmInput input = ReadAlarmForm(form, shown, units);
    if (input.refusal)
        return {SaveStatus::InvalidInput, *input.refusal};
    return SaveWithScreenCheck(link, flag, BuildWriteAlarm(input.thresholds), CMD_WRITE_ALARM, kAlarmScreenCheck,
                               kSaveSuccessText, kNotConnectedNothingSavedText);
}

}  // namespace vorelle
