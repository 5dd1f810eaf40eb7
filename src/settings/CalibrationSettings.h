#pragma once

#include "link/ConsoleLink.h"
#include "link/HidTransport.h"
#include "link/ReplyRouter.h"
#include "live/LiveValues.h"
#include "settings/SettingsSave.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vorelle {

// The offsets the dialog shows, in the order Save checks them (which is also
// the order of the write).
enum class CalibrationRow : std::size_t {
    IndoorTemp,
    OutdoorTemp,
    IndoorHumidity,
    OutdoorHumidity,
    AbsPressure,
    RelPressure,
    WindDirection,
};
inline constexpr std::size_t kCalibrationRows = 7;

// The rows as messages name them: the dialog's labels.
inline constexpr std::array<std::string_view, kCalibrationRows> kCalibrationFieldNames = {
    "Indoor Temperature", "Outdoor Temperature", "Indoor Humidity", "Outdoor Humidity",
    "Absolute Pressure",  "Relative Pressure",   "Wind Direction"};

// A temperature or wind-direction offset of 255 is shown as "--"; written
// back unchanged it stays 255.
inline constexpr std::int32_t kCalibrationNotSet = 255;

// Items start only below this offset of the block's item list.
inline constexpr std::size_t kCalibrationItemsEnd = 19;

inline constexpr std::string_view kOffsetTemperatureMessage = "Offest Temperature Range Error";
inline constexpr std::string_view kOffsetHumidityMessage = "Offest Humidity Range Error";
inline constexpr std::string_view kOffsetPressureMessage = "Offest Pressure Range Error";
inline constexpr std::string_view kOffsetWindDirectionMessage = "Offest Wind Direction Range Error";

// The console's offsets, signed, in its units (tenths of °C, whole %, tenths
// of hPa, degrees), and its gains, which the dialog neither shows nor writes.
struct CalibrationOffsets {
    std::array<std::int32_t, kCalibrationRows> rows{};
    std::int32_t windGain = 0;   // item 11
    std::int32_t rainGain = 0;   // item 13
    std::int32_t lightGain = 0;  // item 21

    std::int32_t& operator[](CalibrationRow row) { return rows[static_cast<std::size_t>(row)]; }
    std::int32_t operator[](CalibrationRow row) const { return rows[static_cast<std::size_t>(row)]; }
    friend bool operator==(const CalibrationOffsets&, const CalibrationOffsets&) = default;
};

// Decodes the calibration block (the reply to CMD_READ_CALIB, header
// included) over `previous`: offsets the block does not carry keep the values
// of an earlier opening. Decoding stops at an unknown id, at offset 19 of the
// item list, and before an item that would run past the bytes the reply says
// it holds.
CalibrationOffsets DecodeCalibration(std::span<const std::uint8_t> block, const CalibrationOffsets& previous);

// The dialog's seven fields.
struct CalibrationForm {
    std::array<std::string, kCalibrationRows> texts{};

    std::string& operator[](CalibrationRow row) { return texts[static_cast<std::size_t>(row)]; }
    const std::string& operator[](CalibrationRow row) const { return texts[static_cast<std::size_t>(row)]; }
    friend bool operator==(const CalibrationForm&, const CalibrationForm&) = default;
};

// The offsets as the dialog shows them in `units`.
CalibrationForm ShowCalibration(const CalibrationOffsets& offsets, const UnitCodes& units);

// The offsets a form stands for, or the message refusing the first field
// that is empty, whose reading would leave its range, or which does not fit
// its field. `shown` are the offsets the form was filled from: a field left
// as shown keeps the console's own value and is not checked again (see
// ReadFormField). Each changed offset is checked against `current`, the
// latest reading; without a reading, the offset itself is held to the range
// an offset of its kind can span. The value checked is the value written.
struct CalibrationInput {
    CalibrationOffsets offsets;
    std::optional<std::string> refusal;
};
CalibrationInput ReadCalibrationForm(const CalibrationForm& form, const CalibrationOffsets& shown,
                                     const UnitCodes& units, const LiveValues& current);

// CMD_WRITE_CALIB with the seven offsets; the gains are not part of it.
Report BuildWriteCalibration(const CalibrationOffsets& offsets);

// Save: read the form, refuse without a console, screen check (pause 50 ms,
// reply wait 500 ms), write.
SaveOutcome SaveCalibration(ConsoleLink& link, ScreenFlag& flag, const CalibrationForm& form,
                            const CalibrationOffsets& shown, const UnitCodes& units, const LiveValues& current);

}  // namespace vorelle
