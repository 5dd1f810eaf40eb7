#pragma once

#include "settings/BasicSettings.h"
#include "settings/ConsoleDialog.h"

#include <memory>

namespace Ui {
class mk2_setting;
}

namespace vorelle {

// Basic settings: the display units, the time zone with its daylight-saving
// switch and the recording interval; the outdoor sensor and the radio
// frequency are shown only.
class mk2_setting final : public ConsoleDialog {
    Q_OBJECT

public:
    mk2_setting(ConsoleLink& link, Messages& messages, QWidget* parent = nullptr);
    ~mk2_setting() override;

    // What the controls hold now.
    BasicSettingsForm Form() const;

protected:
    void InitDialog() override;

private:
    void FillLists();
    void Show(const BasicSettingsForm& form);
    void OnTimeZoneChanged(int row);
    void OnSave();

    std::unique_ptr<Ui::mk2_setting> ui_;
};

}  // namespace vorelle
