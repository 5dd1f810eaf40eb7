#pragma once

// Checks of the settings-block decoders and of what their dialogs show and
// write back, shared by the targets that reach them.

#include "FormattedTextChecks.h"
#include "FuzzCheck.h"
#include "link/Commands.h"
#include "link/ReplyArea.h"
#include "settings/BasicSettings.h"
#include "settings/MaxMinRecords.h"
#include "settings/TimeZones.h"
#include "units/NumberText.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>

namespace vorelle::fuzz {

// The dialog's 256-byte copy of a block of which only `block` arrived.
inline ReplyArea::Slot PaddedBlock(std::span<const std::uint8_t> block)
{
    ReplyArea::Slot slot{};
    std::copy_n(block.begin(), std::min(block.size(), slot.size()), slot.begin());
    return slot;
}

// Decodes a settings block (exactly `block`, so a read past it is reported)
// and checks the form the dialog would show and the command Save would send
// with it unchanged: every list either selects the console's code or nothing,
// the interval reads back as the console's, and Save writes back every code
// the lists know and 255 for the others, or refuses an interval outside 1 to
// 240 with its message.
inline void CheckBasicSettingsBlock(std::span<const std::uint8_t> block)
{
    using namespace setting_byte;
    const BasicSettingsForm form = DecodeBasicSettings(block);
    const ReplyArea::Slot padded = PaddedBlock(block);
    Check(form == DecodeBasicSettings(padded), "bytes past a short settings block read as 0");

    const auto row = [](int selected, std::size_t listSize) {
        return selected == kNoSelection || (selected >= 0 && static_cast<std::size_t>(selected) < listSize);
    };
    Check(row(form.temperatureRow, kTemperatureUnitTexts.size()) && row(form.pressureRow, kPressureUnitTexts.size()) &&
              row(form.windRow, kWindUnitTexts.size()) && row(form.rainRow, kRainUnitTexts.size()) &&
              row(form.lightRow, kLightUnitTexts.size()) && row(form.timeZoneRow, kTimeZoneCount) &&
              row(form.sensorRow, kSensorTexts.size()) && row(form.frequencyRow, kFrequencyTexts.size()),
          "every list selects one of its rows or none");
    Check(TimeZoneName(form.timeZoneRow).empty() == (form.timeZoneRow == kNoSelection), "a selected zone has a name");
    Check(form.daylightSaving == (padded[DaylightSaving] != 0) &&
              form.daylightSavingVisible == (padded[DaylightSavingOffered] != 0),
          "the daylight-saving box follows the block");
    Check(ReadLeadingInteger(form.interval) == padded[Interval], "the interval reads back as the console's");

    BasicSettingsForm otherZone = form;
    SelectTimeZone(otherZone, form.timeZoneRow);
    Check(otherZone.daylightSavingVisible == HasDaylightSavingRule(form.timeZoneRow),
          "choosing a zone offers daylight saving where it has a rule");

    const bool intervalAccepted =
        padded[Interval] >= kMinRecordingInterval && padded[Interval] <= kMaxRecordingInterval;
    const std::optional<std::string> refusal = ValidateBasicSettings(form);
    Check(refusal.has_value() != intervalAccepted && (!refusal || *refusal == kIntervalMessage),
          "only an interval outside 1 to 240 is refused, with its message");
    const std::optional<Report> write = BuildWriteSetting(form);
    Check(write.has_value() == intervalAccepted, "a refused form sends nothing");
    if (!write)
        return;
    const auto known = [&](std::size_t at, std::size_t listSize) {
        return padded[at] < listSize ? padded[at] : std::uint8_t{255};
    };
    const Report& c = *write;
    // The write has no "daylight saving offered" byte: from the interval on
    // it sits one place before the block.
    const std::uint8_t sensor = padded[Sensor] < kNoSensorRow ? padded[Sensor] : kNoSensorCode;
    Check(c[0] == CMD_WRITE_SETTING.code && c[1] == 12 &&
              c[TemperatureUnit] == known(TemperatureUnit, kTemperatureUnitTexts.size()) &&
              c[PressureUnit] == known(PressureUnit, kPressureUnitTexts.size()) &&
              c[WindUnit] == known(WindUnit, kWindUnitTexts.size()) &&
              c[RainUnit] == known(RainUnit, kRainUnitTexts.size()) &&
              c[LightUnit] == known(LightUnit, kLightUnitTexts.size()) &&
              c[DaylightSaving] == (form.daylightSaving ? 1 : 0) && c[TimeZone] == known(TimeZone, kTimeZoneCount) &&
              c[Interval - 1] == padded[Interval] && c[Sensor - 1] == sensor &&
              c[Frequency - 1] == known(Frequency, kFrequencyTexts.size()) &&
              std::all_of(c.begin() + 12, c.end(), [](std::uint8_t b) { return b == 0; }),
          "saving unchanged writes back the console's codes");
}

namespace maxmin {

enum class Kind { Temperature, Byte, Word, Light };

struct Shown {
    MaxMinRecord MaxMinRecords::*record;
    Kind kind;
    bool hasMin;
};

// Every record of the block, with the kind of its values.
inline constexpr Shown kRecords[] = {
    {&MaxMinRecords::indoorTemp, Kind::Temperature, true},  {&MaxMinRecords::outdoorTemp, Kind::Temperature, true},
    {&MaxMinRecords::dewPoint, Kind::Temperature, true},    {&MaxMinRecords::indoorHumidity, Kind::Byte, true},
    {&MaxMinRecords::outdoorHumidity, Kind::Byte, true},    {&MaxMinRecords::absPressure, Kind::Word, true},
    {&MaxMinRecords::relPressure, Kind::Word, true},        {&MaxMinRecords::windSpeed, Kind::Word, false},
    {&MaxMinRecords::gustSpeed, Kind::Word, false},         {&MaxMinRecords::rainRate, Kind::Word, false},
    {&MaxMinRecords::extraRain15, Kind::Word, false},       {&MaxMinRecords::dailyRain, Kind::Word, false},
    {&MaxMinRecords::light, Kind::Light, false},            {&MaxMinRecords::uvIndex, Kind::Byte, false},
    {&MaxMinRecords::feelsLike, Kind::Temperature, false},
};

inline bool InRange(Kind kind, std::int32_t value)
{
    switch (kind) {
    case Kind::Temperature:
        return value >= -32768 && value <= 32767;
    case Kind::Byte:
        return value >= 0 && value <= 0xFF;
    case Kind::Word:
        return value >= 0 && value <= 0xFFFF;
    case Kind::Light:
        return true;
    }
    return false;
}

}  // namespace maxmin

// Decodes a max/min block (exactly `block`) at a first opening and over the
// records of an earlier one, and checks: a record the block carries is read
// whatever came before, with values its kind can hold; one it does not carry
// keeps the earlier values; a record with a maximum only keeps its minimum;
// and nothing from byte 47 on starts an item. Returns the records of a first
// opening.
inline MaxMinRecords CheckMaxMinBlock(std::span<const std::uint8_t> block)
{
    constexpr std::int32_t kEarlier = 0x5EED5EED;
    const MaxMinRecords first = DecodeMaxMin(block, {});
    MaxMinRecords earlier;
    for (const maxmin::Shown& shown : maxmin::kRecords)
        earlier.*shown.record = {kEarlier, kEarlier, true};
    const MaxMinRecords over = DecodeMaxMin(block, earlier);

    // The widest item is five bytes.
    const std::size_t lastItemEnd = kMaxMinItemsEnd - 1 + 5;
    Check(DecodeMaxMin(block.first(std::min(block.size(), lastItemEnd)), {}) == first,
          "no item starts from byte 47 on");

    for (const maxmin::Shown& shown : maxmin::kRecords) {
        const MaxMinRecord& read = first.*shown.record;
        const MaxMinRecord& overEarlier = over.*shown.record;
        if (!read.present) {
            Check(read == MaxMinRecord{} && overEarlier == earlier.*shown.record,
                  "a record the block does not carry keeps the earlier values");
            continue;
        }
        Check(overEarlier.present && overEarlier.max == read.max, "a carried record does not depend on the earlier one");
        Check(maxmin::InRange(shown.kind, read.max), "a maximum fits its kind");
        if (shown.hasMin)
            Check(overEarlier.min == read.min && maxmin::InRange(shown.kind, read.min), "a minimum fits its kind");
        else
            Check(read.min == 0 && overEarlier.min == kEarlier, "a record with a maximum only keeps its minimum");
    }
    return first;
}

// What the max/min dialog shows: every record read, through every formatter.
inline void CheckShownMaxMin(const MaxMinRecords& records, const UnitCodes& units)
{
    for (const maxmin::Shown& shown : maxmin::kRecords) {
        const MaxMinRecord& record = records.*shown.record;
        if (!record.present)
            continue;
        CheckEveryFormatter(record.max, units);
        if (shown.hasMin)
            CheckEveryFormatter(record.min, units);
    }
}

}  // namespace vorelle::fuzz
