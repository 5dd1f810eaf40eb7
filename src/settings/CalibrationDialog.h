#pragma once

#include "live/LiveReadings.h"
#include "settings/CalibrationSettings.h"
#include "settings/ConsoleDialog.h"

#include <array>
#include <memory>
#include <string_view>

class QLineEdit;

namespace Ui {
class CalibrationDialog;
}

namespace vorelle {

// Calibration: the offsets the console adds to its pressure, wind direction,
// temperature and humidity readings, shown and typed in the display units and
// checked against the latest reading before they are written.
class CalibrationDialog final : public ConsoleDialog {
    Q_OBJECT

public:
    // The name that opens this dialog on start.
    static constexpr std::string_view kShowName = "calibration";

    CalibrationDialog(ConsoleLink& link, Messages& messages, const LiveReadings& readings, QWidget* parent = nullptr);
    ~CalibrationDialog() override;

    // What the fields hold now.
    CalibrationForm Form() const;

protected:
    void InitDialog() override;

private:
    void ShowUnits();
    void OnSave();

    const LiveReadings& readings_;
    std::unique_ptr<Ui::CalibrationDialog> ui_;
    std::array<QLineEdit*, kCalibrationRows> fields_{};
    UnitCodes units_;      // the units the fields are shown and read in
    LiveValues current_;   // the reading the offsets are checked against
    // Kept between openings: an offset the console does not send keeps the
    // value of an earlier opening.
    CalibrationOffsets offsets_;
};

}  // namespace vorelle
