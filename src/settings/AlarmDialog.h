#pragma once

#include "live/LiveReadings.h"
#include "settings/AlarmSettings.h"
#include "settings/ConsoleDialog.h"

#include <array>
#include <memory>
#include <string_view>

class QCheckBox;
class QLineEdit;

namespace Ui {
class AlarmDialog;
}

namespace vorelle {

// Alarm settings: a high and a low threshold with an on/off switch for the
// temperatures, humidities and pressures, and a high threshold for wind and
// gust, shown and typed in the console's display units.
class AlarmDialog final : public ConsoleDialog {
    Q_OBJECT

public:
    // The name that opens this dialog on start.
    static constexpr std::string_view kShowName = "alarm";

    AlarmDialog(ConsoleLink& link, Messages& messages, const LiveReadings& readings, QWidget* parent = nullptr);
    ~AlarmDialog() override;

    // What the controls hold now.
    AlarmForm Form() const;

protected:
    void InitDialog() override;

private:
    struct RowControls {
        QLineEdit* field;
        QCheckBox* on;
    };

    void NameFields();
    void ShowUnits();
    void ShowForm(const AlarmForm& form);
    void SelectAll(bool high, bool on);
    void OnSave();

    const LiveReadings& readings_;
    std::unique_ptr<Ui::AlarmDialog> ui_;
    std::array<RowControls, kAlarmShownRows> rows_{};
    UnitCodes units_;  // the units the fields are shown and read in
    // Kept between openings: a threshold the console does not send keeps the
    // value of an earlier opening.
    AlarmThresholds thresholds_;
};

}  // namespace vorelle
