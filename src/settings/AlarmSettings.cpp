#include "settings/AlarmSettings.h"

#include "items/ItemCodec.h"
#include "link/Commands.h"
#include "link/ReplyArea.h"
#include "settings/FormField.h"
#include "units/Formatters.h"
#include "units/Parsers.h"

#include <algorithm>

namespace vorelle {

namespace {

constexpr std::uint8_t kWriteAlarmLength = 62;
constexpr ScreenCheckTiming kAlarmScreenCheck{50, 500};

// One item of the block and of the write: its code, then for each of its
// rows a value of the item (the threshold) and an on byte.
struct ItemLayout {
    std::uint8_t code;
    AlarmRow high;
    std::optional<AlarmRow> low;
};

constexpr ItemLayout kItems[] = {
    {item::IndoorTemp, AlarmRow::IndoorTempHigh, AlarmRow::IndoorTempLow},
    {item::OutdoorTemp, AlarmRow::OutdoorTempHigh, AlarmRow::OutdoorTempLow},
    {item::DewPoint, AlarmRow::DewPointHigh, AlarmRow::DewPointLow},
    // The alarm block keeps its feels-like thresholds under item 4.
    {item::ExtraTemp04, AlarmRow::FeelsLikeHigh, AlarmRow::FeelsLikeLow},
    {item::IndoorHumidity, AlarmRow::IndoorHumidityHigh, AlarmRow::IndoorHumidityLow},
    {item::OutdoorHumidity, AlarmRow::OutdoorHumidityHigh, AlarmRow::OutdoorHumidityLow},
    {item::AbsBarometer, AlarmRow::AbsPressureHigh, AlarmRow::AbsPressureLow},
    {item::RelBarometer, AlarmRow::RelPressureHigh, AlarmRow::RelPressureLow},
    {item::WindSpeed, AlarmRow::WindSpeed, std::nullopt},
    {item::GustSpeed, AlarmRow::GustSpeed, std::nullopt},
    {item::RainRate, AlarmRow::RainRate, std::nullopt},
    {item::RainToday, AlarmRow::DailyRain, std::nullopt},
};

// The order of the items in CMD_WRITE_ALARM.
constexpr std::uint8_t kWriteOrder[] = {item::IndoorTemp,  item::IndoorHumidity,  item::AbsBarometer,
                                        item::RelBarometer, item::OutdoorTemp,   item::OutdoorHumidity,
                                        item::DewPoint,     item::ExtraTemp04,   item::WindSpeed,
                                        item::GustSpeed};

const ItemLayout* LayoutOf(std::uint8_t code)
{
    const auto found =
        std::find_if(std::begin(kItems), std::end(kItems), [code](const ItemLayout& l) { return l.code == code; });
    return found == std::end(kItems) ? nullptr : found;
}

ItemQuantity QuantityOf(AlarmRow row)
{
    for (const ItemLayout& layout : kItems)
        if (layout.high == row || layout.low == row)
            return FindItem(layout.code)->quantity;
    return ItemQuantity::Rain;
}

// An item's rows in the order of their values.
std::array<std::optional<AlarmRow>, 2> RowsOf(const ItemLayout& layout) { return {layout.high, layout.low}; }

std::optional<std::size_t> AlarmPayloadSize(std::uint8_t code)
{
    const ItemLayout* layout = LayoutOf(code);
    if (!layout)
        return std::nullopt;
    return (*ItemValueSize(code) + 1) * (layout->low ? 2 : 1);
}

// A threshold as the console keeps it: a not-set pattern as it came (FF FF
// is one for a temperature too), a temperature signed, the rest unsigned.
std::int32_t ReadThreshold(std::uint8_t code, std::span<const std::uint8_t> value)
{
    const ItemKind kind = *KindOfItem(code);
    const bool notSet = IsMissingValue(kind, value) || ReadNumber(value, false) == kAlarmWordNotSet;
    return ReadNumber(value, kind == ItemKind::Temperature && !notSet);
}

std::string ShowValue(ItemQuantity quantity, const UnitCodes& units, std::int32_t value)
{
    switch (quantity) {
    case ItemQuantity::Temperature:
        return FormatTemperature(units.temperature, Show::NumberOnly, value);
    case ItemQuantity::Humidity:
        return FormatPercent(PercentFormat::Plain, value);
    case ItemQuantity::Pressure:
        return FormatPressure(units.pressure, Show::NumberOnly, value);
    default:  // wind; the rain thresholds are neither shown nor read
        break;
    }
    return FormatWind(units.wind, Show::NumberOnly, value);
}

std::int32_t ParseValue(ItemQuantity quantity, const UnitCodes& units, const std::string& text)
{
    switch (quantity) {
    case ItemQuantity::Temperature:
        return ParseTemperature(units.temperature, text);
    case ItemQuantity::Humidity:
        return ParseInteger(text, false);
    case ItemQuantity::Pressure:
        return ParsePressure(units.pressure, text);
    default:  // wind; the rain thresholds are neither shown nor read
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

FieldValue ReadField(ItemQuantity quantity, const UnitCodes& units, const std::string& text, std::int32_t shown)
{
    const bool notSet = text == kMissingIntegerText || text == kMissingValueText;
    const FieldReading field = ReadFormField(
        text, shown, [&](std::int32_t value) { return ShowValue(quantity, units, value); },
        [&](const std::string& typed) {
            if (notSet)
                return quantity == ItemQuantity::Humidity ? kAlarmHumidityNotSet : kAlarmWordNotSet;
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
    ForEachItem(
        ReplyPayload(block), AlarmPayloadSize,
        [&thresholds](std::uint8_t code, std::span<const std::uint8_t> payload) {
            const std::size_t bytes = *ItemValueSize(code);
            for (const std::optional<AlarmRow>& row : RowsOf(*LayoutOf(code))) {
                if (!row)
                    continue;
                thresholds[*row] = {ReadThreshold(code, payload.first(bytes)), payload[bytes] != 0};
                payload = payload.subspan(bytes + 1);
            }
        },
        kAlarmItemsEnd);
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
    ItemWriter items;
    for (std::uint8_t code : kWriteOrder) {
        items.Code(code);
        for (const std::optional<AlarmRow>& row : RowsOf(*LayoutOf(code))) {
            if (!row)
                continue;
            items.Value(code, static_cast<std::uint32_t>(thresholds[*row].value));
            items.Byte(thresholds[*row].on ? 1 : 0);
        }
    }
    items.CopyTo(std::span(command).subspan(2));
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
