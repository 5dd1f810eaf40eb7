#pragma once

#include "live/LiveReadings.h"
#include "settings/ConsoleDialog.h"
#include "settings/MaxMinRecords.h"

#include <memory>

namespace Ui {
class MaxMinDialog;
}

namespace vorelle {

// Max/Min: the highest and lowest values the console has recorded, shown in
// the console's display units, and clearing of the chosen records.
class MaxMinDialog final : public ConsoleDialog {
    Q_OBJECT

public:
    MaxMinDialog(ConsoleLink& link, Messages& messages, const LiveReadings& readings, QWidget* parent = nullptr);
    ~MaxMinDialog() override;

    MaxMinClearBoxes Boxes() const;

protected:
    void InitDialog() override;

private:
    void NameFields();
    void ShowRecords(const MaxMinRecords& records);
    void OnClear();
    void OnClearAll();

    const LiveReadings& readings_;
    std::unique_ptr<Ui::MaxMinDialog> ui_;
    // Kept between openings: a record the console does not send keeps the
    // value of an earlier opening.
    MaxMinRecords records_;
};

}  // namespace vorelle
