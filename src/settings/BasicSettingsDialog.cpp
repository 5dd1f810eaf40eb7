#include "settings/BasicSettingsDialog.h"

#include "settings/TimeZones.h"
#include "ui_BasicSettingsDialog.h"
#include "widgets/FormFields.h"
#include "widgets/QtText.h"

namespace vorelle {

namespace {

// A row beyond the list leaves it without a selection.
void Select(QComboBox* list, int row) { list->setCurrentIndex(row >= 0 && row < list->count() ? row : -1); }

}  // namespace

BasicSettingsDialog::BasicSettingsDialog(ConsoleLink& link, Messages& messages, QWidget* parent)
    : ConsoleDialog(link, messages, parent), ui_(std::make_unique<Ui::BasicSettingsDialog>())
{
    ui_->setupUi(this);
    connect(ui_->timeZone, &QComboBox::activated, this, &BasicSettingsDialog::OnTimeZoneChanged);
    connect(ui_->saveButton, &QPushButton::clicked, this, &BasicSettingsDialog::OnSave);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

BasicSettingsDialog::~BasicSettingsDialog() = default;

void BasicSettingsDialog::FillLists()
{
    FillList(ui_->temperatureUnit, kTemperatureUnitTexts);
    FillList(ui_->lightUnit, kLightUnitTexts);
    FillList(ui_->windUnit, kWindUnitTexts);
    FillList(ui_->pressureUnit, kPressureUnitTexts);
    FillList(ui_->rainUnit, kRainUnitTexts);
    FillList(ui_->timeZone, TimeZoneNames());
    FillList(ui_->sensor, kSensorTexts);
    FillList(ui_->frequency, kFrequencyTexts);
}

void BasicSettingsDialog::InitDialog()
{
    FillLists();
    ui_->interval->setToolTipDuration(kFieldToolTipMs);
    if (HasConsoleBlock()) {
        Show(DecodeBasicSettings(block_));
        ui_->saveButton->setEnabled(true);
    } else {
        ui_->daylightSaving->setVisible(false);
        ui_->interval->clear();
        ui_->saveButton->setEnabled(false);
    }
    ui_->sensor->setEnabled(false);
    ui_->frequency->setEnabled(false);
}

void BasicSettingsDialog::Show(const BasicSettingsForm& form)
{
    Select(ui_->temperatureUnit, form.temperatureRow);
    Select(ui_->lightUnit, form.lightRow);
    Select(ui_->windUnit, form.windRow);
    Select(ui_->pressureUnit, form.pressureRow);
    Select(ui_->rainUnit, form.rainRow);
    Select(ui_->timeZone, form.timeZoneRow);
    ui_->daylightSaving->setChecked(form.daylightSaving);
    ui_->daylightSaving->setVisible(form.daylightSavingVisible);
    Select(ui_->sensor, form.sensorRow);
    Select(ui_->frequency, form.frequencyRow);
    ui_->interval->setText(QString::fromStdString(form.interval));
}

BasicSettingsForm BasicSettingsDialog::Form() const
{
    BasicSettingsForm form;
    form.temperatureRow = ui_->temperatureUnit->currentIndex();
    form.lightRow = ui_->lightUnit->currentIndex();
    form.windRow = ui_->windUnit->currentIndex();
    form.pressureRow = ui_->pressureUnit->currentIndex();
    form.rainRow = ui_->rainUnit->currentIndex();
    form.timeZoneRow = ui_->timeZone->currentIndex();
    form.daylightSaving = ui_->daylightSaving->isChecked();
    form.daylightSavingVisible = !ui_->daylightSaving->isHidden();
    form.interval = ui_->interval->text().toStdString();
    form.sensorRow = ui_->sensor->currentIndex();
    form.frequencyRow = ui_->frequency->currentIndex();
    return form;
}

void BasicSettingsDialog::OnTimeZoneChanged(int row)
{
    // The box keeps its check state while hidden.
    BasicSettingsForm form = Form();
    SelectTimeZone(form, row);
    ui_->daylightSaving->setVisible(form.daylightSavingVisible);
}

void BasicSettingsDialog::OnSave()
{
    const BasicSettingsForm form = Form();
    SaveBlockAndConclude([this, form] { return SaveBasicSettings(link_, screenFlag_, form); });
}

}  // namespace vorelle
