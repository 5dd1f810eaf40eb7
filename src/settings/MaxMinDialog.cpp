#include "settings/MaxMinDialog.h"

#include "settings/MaxMinTexts.h"
#include "ui_MaxMinDialog.h"
#include "widgets/FieldNames.h"
#include "widgets/QtText.h"

#include <utility>

namespace vorelle {

MaxMinDialog::MaxMinDialog(ConsoleLink& link, Messages& messages, const LiveReadings& readings, QWidget* parent)
    : ConsoleDialog(link, messages, parent), readings_(readings), ui_(std::make_unique<Ui::MaxMinDialog>())
{
    ui_->setupUi(this);
    NameFields();
    connect(ui_->clearButton, &QPushButton::clicked, this, &MaxMinDialog::OnClear);
    connect(ui_->clearAllButton, &QPushButton::clicked, this, &MaxMinDialog::OnClearAll);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

MaxMinDialog::~MaxMinDialog() = default;

void MaxMinDialog::NameFields()
{
    // Every group has its own "Max:" and "Min:", and each box stands at the
    // corner of its group with no text: each is named by its group.
    for (QLineEdit* field : findChildren<QLineEdit*>())
        NameByRowAndColumn(*field, GroupTitleOf(*field), LabelTextOf(*field));
    const Ui::MaxMinDialog& u = *ui_;
    const std::pair<QCheckBox*, QGroupBox*> boxes[] = {
        {u.indoorTempBox, u.indoorTempGroup},         {u.outdoorTempBox, u.outdoorTempGroup},
        {u.indoorHumidityBox, u.indoorHumidityGroup}, {u.outdoorHumidityBox, u.outdoorHumidityGroup},
        {u.relPressureBox, u.relPressureGroup},       {u.absPressureBox, u.absPressureGroup},
        {u.dewPointBox, u.dewPointGroup},             {u.feelsLikeBox, u.feelsLikeGroup},
        {u.solarRadiationBox, u.solarRadiationGroup}, {u.uvIndexBox, u.uvIndexGroup},
        {u.windSpeedBox, u.windSpeedGroup},           {u.gustSpeedBox, u.gustSpeedGroup},
    };
    for (const auto& [box, group] : boxes)
        NameByRowAndColumn(*box, group->title(), u.clearButton->text());
}

void MaxMinDialog::InitDialog()
{
    for (QCheckBox* box : findChildren<QCheckBox*>())
        box->setChecked(false);
    const bool connected = link_.Connected();
    if (connected)
        records_ = DecodeMaxMin(block_, records_);
    // Without a console nothing is current: records of an earlier opening
    // shown now would pass for today's.
    ShowRecords(connected ? records_ : MaxMinRecords{});
    ui_->clearButton->setEnabled(connected);
    ui_->clearAllButton->setEnabled(connected);
}

void MaxMinDialog::ShowRecords(const MaxMinRecords& records)
{
    // In the order of MaxMinTexts.
    QLineEdit* const fields[kMaxMinFields] = {
        ui_->indoorTempMax,       ui_->indoorTempMin,       ui_->outdoorTempMax,     ui_->outdoorTempMin,
        ui_->indoorHumidityMax,   ui_->indoorHumidityMin,   ui_->outdoorHumidityMax, ui_->outdoorHumidityMin,
        ui_->relPressureMax,      ui_->relPressureMin,      ui_->absPressureMax,     ui_->absPressureMin,
        ui_->dewPointMax,         ui_->dewPointMin,         ui_->feelsLikeMax,       ui_->solarRadiationMax,
        ui_->uvIndexMax,          ui_->windSpeedMax,        ui_->gustSpeedMax};
    const MaxMinTexts texts = ShowMaxMin(records, readings_.Units());
    for (std::size_t i = 0; i < kMaxMinFields; ++i)
        fields[i]->setText(ToQString(texts[i]));
}

MaxMinClearBoxes MaxMinDialog::Boxes() const
{
    MaxMinClearBoxes boxes;
    boxes.indoorTemp = ui_->indoorTempBox->isChecked();
    boxes.outdoorTemp = ui_->outdoorTempBox->isChecked();
    boxes.indoorHumidity = ui_->indoorHumidityBox->isChecked();
    boxes.outdoorHumidity = ui_->outdoorHumidityBox->isChecked();
    boxes.relPressure = ui_->relPressureBox->isChecked();
    boxes.absPressure = ui_->absPressureBox->isChecked();
    boxes.dewPoint = ui_->dewPointBox->isChecked();
    boxes.feelsLike = ui_->feelsLikeBox->isChecked();
    boxes.solarRadiation = ui_->solarRadiationBox->isChecked();
    boxes.uvIndex = ui_->uvIndexBox->isChecked();
    boxes.windSpeed = ui_->windSpeedBox->isChecked();
    boxes.gustSpeed = ui_->gustSpeedBox->isChecked();
    return boxes;
}

void MaxMinDialog::OnClear()
{
    const MaxMinClearBoxes boxes = Boxes();
    SaveAndConclude([this, boxes] { return ClearMaxMin(link_, screenFlag_, boxes); });
}

void MaxMinDialog::OnClearAll()
{
    for (QCheckBox* box : findChildren<QCheckBox*>())
        box->setChecked(true);
    OnClear();
}

}  // namespace vorelle
