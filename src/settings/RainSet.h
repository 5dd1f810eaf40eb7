#pragma once

#include "app/LiveReadings.h"
#include "settings/ConsoleDialog.h"
#include "settings/RainTotals.h"

#include <memory>

namespace Ui {
class RainSet;
}

namespace vorelle {

// Rainfall totals: corrects the console's rain of today, this week, this
// month and this year, shown from the latest reading in the console's rain
// unit.
class RainSet final : public ConsoleDialog {
    Q_OBJECT

public:
    RainSet(ConsoleLink& link, Messages& messages, const LiveReadings& readings, QWidget* parent = nullptr);
    ~RainSet() override;

protected:
    void InitDialog() override;

private:
    void OnSave();

    const LiveReadings& readings_;
    std::unique_ptr<Ui::RainSet> ui_;
};

}  // namespace vorelle
