#include "settings/SettingsByKey.h"

#include "link/Commands.h"
#include "live/LiveExchanges.h"
#include "settings/AlarmSettings.h"
#include "settings/BasicSettings.h"
#include "settings/CalibrationSettings.h"
#include "settings/MaxMinTexts.h"
#include "settings/RainTotals.h"
#include "settings/TimeZones.h"
#include "units/Formatters.h"

#include <algorithm>
#include <array>

namespace vorelle {

namespace {

constexpr std::string_view kOn = "on";
constexpr std::string_view kOff = "off";
// A switch's key: its threshold's key and this.
constexpr std::string_view kSwitchSuffix = "-on";

// The unit a field is shown in, as the label beside it names it.
enum class FieldUnit { None, Temperature, Humidity, Pressure, Wind, Rain, Degrees, Minutes };

struct KeyedField {
    std::string_view key;
    FieldUnit unit;
};

// In the order of AlarmRow; each has its switch besides.
constexpr KeyedField kAlarmFields[kAlarmShownRows] = {
    {"indoor-temp-high", FieldUnit::Temperature},    {"indoor-temp-low", FieldUnit::Temperature},
    {"indoor-humidity-high", FieldUnit::Humidity},   {"indoor-humidity-low", FieldUnit::Humidity},
    {"outdoor-temp-high", FieldUnit::Temperature},   {"outdoor-temp-low", FieldUnit::Temperature},
    {"outdoor-humidity-high", FieldUnit::Humidity},  {"outdoor-humidity-low", FieldUnit::Humidity},
    {"dew-point-high", FieldUnit::Temperature},      {"dew-point-low", FieldUnit::Temperature},
    {"abs-pressure-high", FieldUnit::Pressure},      {"abs-pressure-low", FieldUnit::Pressure},
    {"rel-pressure-high", FieldUnit::Pressure},      {"rel-pressure-low", FieldUnit::Pressure},
    {"feels-like-high", FieldUnit::Temperature},     {"feels-like-low", FieldUnit::Temperature},
    {"wind-speed-high", FieldUnit::Wind},            {"gust-speed-high", FieldUnit::Wind},
};

// In the order of CalibrationRow.
constexpr KeyedField kCalibrationFields[kCalibrationRows] = {
    {"indoor-temp", FieldUnit::Temperature}, {"outdoor-temp", FieldUnit::Temperature},
    {"indoor-humidity", FieldUnit::Humidity}, {"outdoor-humidity", FieldUnit::Humidity},
    {"abs-pressure", FieldUnit::Pressure},    {"rel-pressure", FieldUnit::Pressure},
    {"wind-direction", FieldUnit::Degrees},
};

// In the order of RainTotalsFields.
constexpr KeyedField kRainFields[] = {
    {"today", FieldUnit::Rain}, {"week", FieldUnit::Rain}, {"month", FieldUnit::Rain}, {"year", FieldUnit::Rain}};

// In the order of MaxMinTexts; each text carries its unit.
constexpr std::string_view kMaxMinKeys[kMaxMinFields] = {
    "indoor-temp-max",      "indoor-temp-min",      "outdoor-temp-max",    "outdoor-temp-min",
    "indoor-humidity-max",  "indoor-humidity-min",  "outdoor-humidity-max", "outdoor-humidity-min",
    "rel-pressure-max",     "rel-pressure-min",     "abs-pressure-max",    "abs-pressure-min",
    "dew-point-max",        "dew-point-min",        "feels-like-max",      "solar-radiation-max",
    "uv-index-max",         "wind-speed-max",       "gust-speed-max",
};

// The basic settings' lists whose row the form keeps, in the order of the
// dialog, then its switch and its field; the two shown-only lists last.
constexpr std::size_t kBasicLists = 6;
constexpr std::size_t kBasicSwitch = 6;
constexpr std::size_t kBasicInterval = 7;
constexpr std::size_t kBasicSensor = 8;
constexpr std::size_t kBasicFrequency = 9;

template <std::size_t N>
std::vector<std::string_view> Rows(const std::array<std::string_view, N>& list)
{
    return {list.begin(), list.end()};
}

std::vector<SettingKey> BasicKeys()
{
    return {
        {"temperature-unit", SettingKind::Choice, Rows(kTemperatureUnitTexts)},
        {"pressure-unit", SettingKind::Choice, Rows(kPressureUnitTexts)},
        {"wind-unit", SettingKind::Choice, Rows(kWindUnitTexts)},
        {"rain-unit", SettingKind::Choice, Rows(kRainUnitTexts)},
        {"light-unit", SettingKind::Choice, Rows(kLightUnitTexts)},
        {"time-zone", SettingKind::Choice, Rows(TimeZoneNames())},
        {"daylight-saving", SettingKind::Switch, {}},
        {"recording-interval", SettingKind::Text, {}},
        {"outdoor-sensor", SettingKind::ShownOnly, Rows(kSensorTexts)},
        {"frequency", SettingKind::ShownOnly, Rows(kFrequencyTexts)},
    };
}

// The form's rows of the lists it keeps, in the order of BasicKeys.
std::array<int*, kBasicLists> ListRows(BasicSettingsForm& form)
{
    return {&form.temperatureRow, &form.pressureRow, &form.windRow,
            &form.rainRow,        &form.lightRow,    &form.timeZoneRow};
}

// A row as its list shows it; a list without a selection shows nothing.
std::string RowText(const SettingKey& list, int row)
{
    return row >= 0 && static_cast<std::size_t>(row) < list.choices.size() ? std::string(list.choices[row])
                                                                           : std::string();
}

int RowOfText(const SettingKey& list, std::string_view text)
{
    const auto found = std::find(list.choices.begin(), list.choices.end(), text);
    return found == list.choices.end() ? kNoSelection : static_cast<int>(found - list.choices.begin());
}

std::string OnOff(bool on) { return std::string(on ? kOn : kOff); }

std::string UnitText(FieldUnit unit, const UnitCodes& units)
{
    switch (unit) {
    case FieldUnit::Temperature:
        return std::string(TemperatureUnitName(units.temperature));
    case FieldUnit::Humidity:
        return "%";
    case FieldUnit::Pressure:
        return std::string(PressureUnitName(units.pressure));
    case FieldUnit::Wind:
        return std::string(WindUnitName(units.wind));
    case FieldUnit::Rain:
        return std::string(RainUnitName(units.rain));
    case FieldUnit::Degrees:
        return "\u00B0";
    case FieldUnit::Minutes:
        return "Minutes";
    case FieldUnit::None:
        break;
    }
    return {};
}

std::vector<ShownSetting> ShowBasic(const StationBlockRead& read)
{
    const std::vector<SettingKey> keys = BasicKeys();
    BasicSettingsForm form = DecodeBasicSettings(read.slot);
    const std::array<int*, kBasicLists> rows = ListRows(form);
    std::vector<ShownSetting> shown;
    for (std::size_t i = 0; i < kBasicLists; ++i)
        shown.push_back({keys[i].key, RowText(keys[i], *rows[i]), {}});
    shown.push_back({keys[kBasicSwitch].key, OnOff(form.daylightSaving), {}});
    shown.push_back({keys[kBasicInterval].key, form.interval, UnitText(FieldUnit::Minutes, read.current.units)});
    shown.push_back({keys[kBasicSensor].key, RowText(keys[kBasicSensor], form.sensorRow), {}});
    shown.push_back({keys[kBasicFrequency].key, RowText(keys[kBasicFrequency], form.frequencyRow), {}});
    return shown;
}

std::vector<ShownSetting> ShowAlarmBlock(const StationBlockRead& read)
{
    const AlarmForm form = ShowAlarm(DecodeAlarm(read.slot, {}), read.current.units);
    std::vector<ShownSetting> shown;
    for (std::size_t i = 0; i < kAlarmShownRows; ++i) {
        const std::string key(kAlarmFields[i].key);
        shown.push_back({key, form.rows[i].text, UnitText(kAlarmFields[i].unit, read.current.units)});
        shown.push_back({key + std::string(kSwitchSuffix), OnOff(form.rows[i].on), {}});
    }
    return shown;
}

template <std::size_t N, typename Texts>
std::vector<ShownSetting> ShowFields(const KeyedField (&fields)[N], const Texts& texts, const UnitCodes& units)
{
    std::vector<ShownSetting> shown;
    for (std::size_t i = 0; i < N; ++i)
        shown.push_back({std::string(fields[i].key), texts[i], UnitText(fields[i].unit, units)});
    return shown;
}

// Each block's Save from the texts of its fields, in the order it shows them.
SaveOutcome SaveBasic(ConsoleLink& link, ScreenFlag& flag, const StationBlockRead& read,
                      const std::vector<ShownSetting>& fields)
{
    const std::vector<SettingKey> keys = BasicKeys();
    BasicSettingsForm form = DecodeBasicSettings(read.slot);
    const std::array<int*, kBasicLists> rows = ListRows(form);
    for (std::size_t i = 0; i < kBasicLists; ++i)
        *rows[i] = RowOfText(keys[i], fields[i].text);
    form.daylightSaving = fields[kBasicSwitch].text == kOn;
    form.interval = fields[kBasicInterval].text;
    return SaveBasicSettings(link, flag, form);
}

SaveOutcome SaveAlarmBlock(ConsoleLink& link, ScreenFlag& flag, const StationBlockRead& read,
                           const std::vector<ShownSetting>& fields)
{
    AlarmForm form;
    for (std::size_t i = 0; i < kAlarmShownRows; ++i)
        form.rows[i] = {fields[2 * i].text, fields[2 * i + 1].text == kOn};
    return SaveAlarm(link, flag, form, DecodeAlarm(read.slot, {}), read.current.units);
}

SaveOutcome SaveCalibrationBlock(ConsoleLink& link, ScreenFlag& flag, const StationBlockRead& read,
                                 const std::vector<ShownSetting>& fields)
{
    CalibrationForm form;
    for (std::size_t i = 0; i < kCalibrationRows; ++i)
        form.texts[i] = fields[i].text;
    return SaveCalibration(link, flag, form, DecodeCalibration(read.slot, {}), read.current.units, read.current);
}

SaveOutcome SaveRainBlock(ConsoleLink& link, ScreenFlag& flag, const StationBlockRead& read,
                          const std::vector<ShownSetting>& fields)
{
    return SaveRainTotals(link, flag, {fields[0].text, fields[1].text, fields[2].text, fields[3].text},
                          read.current.units.rain);
}

SaveOutcome SaveFields(ConsoleLink& link, ScreenFlag& flag, const StationBlockRead& read,
                       const std::vector<ShownSetting>& fields)
{
    switch (read.block) {
    case StationBlock::Basic:
        return SaveBasic(link, flag, read, fields);
    case StationBlock::Alarm:
        return SaveAlarmBlock(link, flag, read, fields);
    case StationBlock::Calibration:
        return SaveCalibrationBlock(link, flag, read, fields);
    case StationBlock::Rain:
        return SaveRainBlock(link, flag, read, fields);
    case StationBlock::MaxMin:
        break;
    }
    return {SaveStatus::InvalidInput, "the max/min records are only shown"};
}

// Where a block comes from: the exchange before its dialog opens (the basic
// settings come with the display units), the slot it lands in, and whether
// the dialog shows or checks by the latest reading.
struct BlockSource {
    const CommandSpec* read;
    std::optional<std::size_t> slot;
    bool byReading;
};

BlockSource SourceOf(StationBlock block)
{
    switch (block) {
    case StationBlock::Basic:
        return {nullptr, ReplyArea::kSettingSlot, false};
    case StationBlock::Alarm:
        return {&CMD_READ_ALARM, ReplyArea::kAlarmSlot, false};
    case StationBlock::Calibration:
        return {&CMD_READ_CALIB, ReplyArea::kCalibSlot, true};
    case StationBlock::Rain:
        return {nullptr, std::nullopt, true};
    case StationBlock::MaxMin:
        break;
    }
    return {&CMD_READ_MAXMIN, ReplyArea::kMaxMinSlot, false};
}

bool Exchanged(ConsoleLink& link, const CommandSpec& read)
{
    return link.Exchange(MakeCommand(read), read) == ExchangeResult::Answered;
}

std::string_view BlockNameOf(StationBlock block)
{
    for (const StationBlockName& name : kStationBlocks)
        if (name.block == block)
            return name.name;
    return {};
}

}  // namespace

std::vector<SettingKey> SettingKeys(StationBlock block)
{
    std::vector<SettingKey> keys;
    const auto add = [&keys](std::string_view key, SettingKind kind) { keys.push_back({std::string(key), kind, {}}); };
    switch (block) {
    case StationBlock::Basic:
        return BasicKeys();
    case StationBlock::Alarm:
        for (const KeyedField& field : kAlarmFields) {
            add(field.key, SettingKind::Text);
            add(std::string(field.key) + std::string(kSwitchSuffix), SettingKind::Switch);
        }
        break;
    case StationBlock::Calibration:
        for (const KeyedField& field : kCalibrationFields)
            add(field.key, SettingKind::Text);
        break;
    case StationBlock::Rain:
        for (const KeyedField& field : kRainFields)
            add(field.key, SettingKind::Text);
        break;
    case StationBlock::MaxMin:
        for (const std::string_view key : kMaxMinKeys)
            add(key, SettingKind::ShownOnly);
        break;
    }
    return keys;
}

std::optional<StationBlockRead> ReadStationBlock(ConsoleLink& link, StationBlock block)
{
    LiveReadings readings;
    if (!ReadSettings(link, readings))
        return std::nullopt;
    const BlockSource source = SourceOf(block);
    if ((source.byReading && !ReadLive(link, readings)) || (source.read && !Exchanged(link, *source.read)))
        return std::nullopt;
    StationBlockRead read{block, {}, readings.Current().values};
    if (source.slot)
        read.slot = link.Area().CopySlot(*source.slot);
    return read;
}

std::vector<ShownSetting> ShowStationBlock(const StationBlockRead& read)
{
    const UnitCodes& units = read.current.units;
    switch (read.block) {
    case StationBlock::Basic:
        return ShowBasic(read);
    case StationBlock::Alarm:
        return ShowAlarmBlock(read);
    case StationBlock::Calibration:
        return ShowFields(kCalibrationFields, ShowCalibration(DecodeCalibration(read.slot, {}), units).texts, units);
    case StationBlock::Rain:
        return ShowFields(kRainFields, ShowRainTotals(read.current), units);
    case StationBlock::MaxMin:
        break;
    }
    const MaxMinTexts texts = ShowMaxMin(DecodeMaxMin(read.slot, {}), units);
    std::vector<ShownSetting> shown;
    for (std::size_t i = 0; i < kMaxMinFields; ++i)
        shown.push_back({std::string(kMaxMinKeys[i]), texts[i], {}});
    return shown;
}

std::optional<ChangeProblem> CheckSettingsChange(StationBlock block, const SettingsChange& change)
{
    const std::vector<SettingKey> keys = SettingKeys(block);
    for (auto typed = change.begin(); typed != change.end(); ++typed) {
        const auto& [key, value] = *typed;
        const auto found = std::find_if(keys.begin(), keys.end(), [&](const SettingKey& k) { return k.key == key; });
        if (found == keys.end())
            return ChangeProblem{std::string(BlockNameOf(block)) + " has no setting '" + key + "'", true};
        if (std::any_of(change.begin(), typed, [&](const auto& earlier) { return earlier.first == key; }))
            return ChangeProblem{key + " is named twice", true};
        switch (found->kind) {
        case SettingKind::ShownOnly:
            return ChangeProblem{key + " is shown only: the console keeps its own", false};
        case SettingKind::Switch:
            if (value != kOn && value != kOff)
                return ChangeProblem{key + " takes on or off", false};
            break;
        case SettingKind::Choice:
            if (RowOfText(*found, value) == kNoSelection)
                return ChangeProblem{key + ": '" + value + "' is not one of the list's rows", false};
            break;
        case SettingKind::Text:
            break;
        }
    }
    return std::nullopt;
}

SaveOutcome SaveSettingsChange(ConsoleLink& link, const StationBlockRead& read, const SettingsChange& change)
{
    std::vector<ShownSetting> fields = ShowStationBlock(read);
    for (const auto& [key, value] : change)
        for (ShownSetting& field : fields)
            if (field.key == key)
                field.text = value;
    // The dialog's own screen flag, for as long as its Save runs.
    ScreenFlag flag{1};
    link.Router().AddScreenFlag(flag);
    const SaveOutcome outcome = SaveFields(link, flag, read, fields);
    link.Router().RemoveScreenFlag(flag);
    return outcome;
}

}  // namespace vorelle
