#include "settings/BasicSettings.h"

#include "link/Commands.h"
#include "settings/TimeZones.h"
#include "units/NumberText.h"

#include <algorithm>

namespace vorelle {

namespace {

constexpr std::uint8_t kWriteSettingLength = 12;
constexpr std::uint8_t kNoSelectionCode = 255;

// Bytes of CMD_WRITE_SETTING: one place shorter than the block from byte 9
// on, as it carries no "daylight saving offered".
namespace write_byte {
constexpr std::size_t Interval = 9;
constexpr std::size_t Sensor = 10;
constexpr std::size_t Frequency = 11;
}  // namespace write_byte

// Unlike the other settings dialogs, this one gives the screen check 5000 ms.
constexpr ScreenCheckTiming kBasicSettingsScreenCheck{50, 5000};

std::uint8_t ByteAt(std::span<const std::uint8_t> block, std::size_t at)
{
    return at < block.size() ? block[at] : 0;
}

int RowOf(std::uint8_t code, std::size_t listSize)
{
    return code < listSize ? code : kNoSelection;
}

std::uint8_t CodeOf(int row, std::size_t listSize)
{
    return row >= 0 && static_cast<std::size_t>(row) < listSize ? static_cast<std::uint8_t>(row) : kNoSelectionCode;
}

}  // namespace

BasicSettingsForm DecodeBasicSettings(std::span<const std::uint8_t> block)
{
    using namespace setting_byte;
    BasicSettingsForm form;
    form.temperatureRow = RowOf(ByteAt(block, TemperatureUnit), kTemperatureUnitTexts.size());
    form.lightRow = RowOf(ByteAt(block, LightUnit), kLightUnitTexts.size());
    form.windRow = RowOf(ByteAt(block, WindUnit), kWindUnitTexts.size());
    form.pressureRow = RowOf(ByteAt(block, PressureUnit), kPressureUnitTexts.size());
    form.rainRow = RowOf(ByteAt(block, RainUnit), kRainUnitTexts.size());
    form.timeZoneRow = RowOf(ByteAt(block, TimeZone), kTimeZoneCount);
    form.daylightSaving = ByteAt(block, DaylightSaving) != 0;
    // The console says whether its zone offers daylight saving; at opening
    // its word counts, not the table's.
    form.daylightSavingVisible = ByteAt(block, DaylightSavingOffered) != 0;
    const std::uint8_t sensor = ByteAt(block, Sensor);
    form.sensorRow = sensor == kNoSensorCode ? kNoSensorRow : RowOf(sensor, kSensorTexts.size());
    form.frequencyRow = RowOf(ByteAt(block, Frequency), kFrequencyTexts.size());
    form.interval = std::to_string(ByteAt(block, Interval));
    return form;
}

void SelectTimeZone(BasicSettingsForm& form, int row)
{
    form.timeZoneRow = row;
    form.daylightSavingVisible = HasDaylightSavingRule(row);
}

std::optional<std::string> ValidateBasicSettings(const BasicSettingsForm& form)
{
    const int interval = ReadLeadingInteger(form.interval);
    if (interval < kMinRecordingInterval || interval > kMaxRecordingInterval)
        return std::string(kIntervalMessage);
    return std::nullopt;
}

std::optional<Report> BuildWriteSetting(const BasicSettingsForm& form)
{
    if (ValidateBasicSettings(form))
        return std::nullopt;
    using namespace setting_byte;
    Report command = MakeCommand(CMD_WRITE_SETTING);
    command[1] = kWriteSettingLength;
    command[TemperatureUnit] = CodeOf(form.temperatureRow, kTemperatureUnitTexts.size());
    command[PressureUnit] = CodeOf(form.pressureRow, kPressureUnitTexts.size());
    command[WindUnit] = CodeOf(form.windRow, kWindUnitTexts.size());
    command[RainUnit] = CodeOf(form.rainRow, kRainUnitTexts.size());
    command[LightUnit] = CodeOf(form.lightRow, kLightUnitTexts.size());
    // A hidden box still carries its check: the console decides what a zone
    // without a rule makes of it.
    command[DaylightSaving] = form.daylightSaving ? 1 : 0;
    command[TimeZone] = CodeOf(form.timeZoneRow, kTimeZoneCount);
    command[write_byte::Interval] = static_cast<std::uint8_t>(ReadLeadingInteger(form.interval));
    command[write_byte::Sensor] =
        form.sensorRow == kNoSensorRow ? kNoSensorCode : CodeOf(form.sensorRow, kSensorTexts.size());
    command[write_byte::Frequency] = CodeOf(form.frequencyRow, kFrequencyTexts.size());
    return command;
}

SaveOutcome SaveBasicSettings(ConsoleLink& link, ScreenFlag& flag, const BasicSettingsForm& form)
{
    const std::optional<Report> command = BuildWriteSetting(form);
    if (!command)
        return {SaveStatus::InvalidInput, std::string(kIntervalMessage)};
    return SaveWithScreenCheck(link, flag, *command, CMD_WRITE_SETTING, kBasicSettingsScreenCheck, kSaveSuccessText,
                               kNotConnectedNothingSavedText);
}

}  // namespace vorelle
