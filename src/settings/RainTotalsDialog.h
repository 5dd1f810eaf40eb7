#pragma once

#include "live/LiveReadings.h"
#include "settings/ConsoleDialog.h"
#include "settings/RainTotals.h"

#include <memory>

namespace Ui {
class RainTotalsDialog;
}

namespace vorelle {

// Rainfall totals: corrects the console's rain of today, this week, this
// month and this year, shown from the latest reading in the console's rain
// unit.
class RainTotalsDialog final : public ConsoleDialog {
    Q_OBJECT

public:
    RainTotalsDialog(ConsoleLink& link, Messages& messages, const LiveReadings& readings, QWidget* parent = nullptr);
    ~RainTotalsDialog() override;

protected:
    void InitDialog() override;

private:
    void OnSave();

    const LiveReadings& readings_;
    std::unique_ptr<Ui::RainTotalsDialog> ui_;
};

}  // namespace vorelle
