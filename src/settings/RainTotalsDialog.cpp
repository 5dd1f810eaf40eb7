#include "settings/RainTotalsDialog.h"

#include "ui_RainTotalsDialog.h"
#include "units/Formatters.h"
#include "widgets/QtText.h"

namespace vorelle {

RainTotalsDialog::RainTotalsDialog(ConsoleLink& link, Messages& messages, const LiveReadings& readings, QWidget* parent)
    : ConsoleDialog(link, messages, parent), readings_(readings), ui_(std::make_unique<Ui::RainTotalsDialog>())
{
    ui_->setupUi(this);
    connect(ui_->saveButton, &QPushButton::clicked, this, &RainTotalsDialog::OnSave);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

RainTotalsDialog::~RainTotalsDialog() = default;

void RainTotalsDialog::InitDialog()
{
    QLineEdit* fields[] = {ui_->today, ui_->week, ui_->month, ui_->year};
    QLabel* units[] = {ui_->todayUnit, ui_->weekUnit, ui_->monthUnit, ui_->yearUnit};
    for (QLineEdit* field : fields)
        field->clear();
    ui_->saveButton->setEnabled(link_.Connected());
    if (!link_.Connected())
        return;
    const LiveValues values = readings_.Current().values;
    const RainTotalsFields totals = ShowRainTotals(values);
    for (int i = 0; i < 4; ++i) {
        fields[i]->setText(QString::fromStdString(totals[i]));
        units[i]->setText(ToQString(RainUnitName(values.units.rain)));
    }
}

void RainTotalsDialog::OnSave()
{
    // The unit the fields were shown in is the unit they are read in.
    const std::uint8_t unit = readings_.Units().rain;
    const RainTotalsFields fields = {ui_->today->text().toStdString(), ui_->week->text().toStdString(),
                                     ui_->month->text().toStdString(), ui_->year->text().toStdString()};
    SaveAndConclude([this, fields, unit] { return SaveRainTotals(link_, screenFlag_, fields, unit); });
}

}  // namespace vorelle
