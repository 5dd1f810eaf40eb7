#pragma once

#include "settings/BasicSettings.h"
#include "settings/ConsoleDialog.h"

#include <memory>

namespace Ui {
class BasicSettingsDialog;
}

namespace vorelle {

// Basic settings: the display units, the time zone with its daylight-saving
// switch and the recording interval; the outdoor sensor and the radio
// frequency are shown only.
class BasicSettingsDialog final : public ConsoleDialog {
    Q_OBJECT

public:
    BasicSettingsDialog(ConsoleLink& link, Messages& messages, QWidget* parent = nullptr);
    ~BasicSettingsDialog() override;

    // What the controls hold now.
    BasicSettingsForm Form() const;

protected:
    void InitDialog() override;

private:
    void FillLists();
    void Show(const BasicSettingsForm& form);
    void OnTimeZoneChanged(int row);
    void OnSave();

    std::unique_ptr<Ui::BasicSettingsDialog> ui_;
};

}  // namespace vorelle
