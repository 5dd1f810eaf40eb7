#include "settings/CalibrationDialog.h"

#include "ui_CalibrationDialog.h"
#include "units/Formatters.h"
#include "widgets/QtText.h"

namespace vorelle {

CalibrationDialog::CalibrationDialog(ConsoleLink& link, Messages& messages, const LiveReadings& readings,
                                     QWidget* parent)
    : ConsoleDialog(link, messages, parent), readings_(readings), ui_(std::make_unique<Ui::CalibrationDialog>())
{
    ui_->setupUi(this);
    // In the order of CalibrationRow.
    fields_ = {ui_->indoorTemp,  ui_->outdoorTemp, ui_->indoorHumidity, ui_->outdoorHumidity,
               ui_->absPressure, ui_->relPressure, ui_->windDirection};
    connect(ui_->saveButton, &QPushButton::clicked, this, &CalibrationDialog::OnSave);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

CalibrationDialog::~CalibrationDialog() = default;

void CalibrationDialog::InitDialog()
{
    // The poll stands still while the dialog is open: the checks use the
    // reading taken just before.
    const LiveReadings::Snapshot snapshot = readings_.Current();
    units_ = snapshot.values.units;
    current_ = snapshot.values;
    ShowUnits();
    if (HasConsoleBlock()) {
        offsets_ = DecodeCalibration(block_, offsets_);
        const CalibrationForm form = ShowCalibration(offsets_, units_);
        for (std::size_t i = 0; i < kCalibrationRows; ++i)
            fields_[i]->setText(ToQString(form.texts[i]));
    } else {
        for (QLineEdit* field : fields_)
            field->clear();
    }
}

void CalibrationDialog::ShowUnits()
{
    const QString temperature = ToQString(TemperatureUnitName(units_.temperature));
    const QString pressure = ToQString(" " + std::string(PressureUnitName(units_.pressure)));
    ui_->indoorTempUnit->setText(temperature);
    ui_->outdoorTempUnit->setText(temperature);
    ui_->absPressureUnit->setText(pressure);
    ui_->relPressureUnit->setText(pressure);
}

CalibrationForm CalibrationDialog::Form() const
{
    CalibrationForm form;
    for (std::size_t i = 0; i < kCalibrationRows; ++i)
        form.texts[i] = fields_[i]->text().toStdString();
    return form;
}

void CalibrationDialog::OnSave()
{
    const CalibrationForm form = Form();
    SaveBlockAndConclude([this, form, shown = offsets_, units = units_, current = current_] {
        return SaveCalibration(link_, screenFlag_, form, shown, units, current);
    });
}

}  // namespace vorelle
