#include "settings/MaxMinDialog.h"

#include "ui_MaxMinDialog.h"
#include "units/Formatters.h"
#include "widgets/FieldNames.h"
#include "widgets/QtText.h"

#include <functional>
#include <utility>

namespace vorelle {

namespace {

using Formatter = std::function<std::string(std::int32_t)>;

void ShowRecord(const MaxMinRecord& record, const Formatter& format, QLineEdit* max, QLineEdit* min = nullptr)
{
    // A record never read stays empty rather than showing a made-up zero.
    max->setText(record.present ? ToQString(format(record.max)) : QString());
    if (min)
        min->setText(record.present ? ToQString(format(record.min)) : QString());
}

}  // namespace

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
    const UnitCodes units = readings_.Units();
    const Formatter temperature = [&](std::int32_t v) { return FormatTemperature(units.temperature, Show::WithUnit, v); };
    const Formatter humidity = [](std::int32_t v) { return FormatPercent(PercentFormat::WithSign, v); };
    const Formatter pressure = [&](std::int32_t v) { return FormatPressure(units.pressure, Show::WithUnit, v); };
    const Formatter wind = [&](std::int32_t v) { return FormatWind(units.wind, Show::WithUnit, v); };
    const Formatter light = [&](std::int32_t v) { return FormatLight(units.light, v); };
    const Formatter plain = [](std::int32_t v) { return FormatPercent(PercentFormat::Plain, v); };

    ShowRecord(records.indoorTemp, temperature, ui_->indoorTempMax, ui_->indoorTempMin);
    ShowRecord(records.outdoorTemp, temperature, ui_->outdoorTempMax, ui_->outdoorTempMin);
    ShowRecord(records.dewPoint, temperature, ui_->dewPointMax, ui_->dewPointMin);
    ShowRecord(records.feelsLike, temperature, ui_->feelsLikeMax);
    ShowRecord(records.indoorHumidity, humidity, ui_->indoorHumidityMax, ui_->indoorHumidityMin);
    ShowRecord(records.outdoorHumidity, humidity, ui_->outdoorHumidityMax, ui_->outdoorHumidityMin);
    ShowRecord(records.relPressure, pressure, ui_->relPressureMax, ui_->relPressureMin);
    ShowRecord(records.absPressure, pressure, ui_->absPressureMax, ui_->absPressureMin);
    ShowRecord(records.windSpeed, wind, ui_->windSpeedMax);
    ShowRecord(records.gustSpeed, wind, ui_->gustSpeedMax);
    ShowRecord(records.light, light, ui_->solarRadiationMax);
    ShowRecord(records.uvIndex, plain, ui_->uvIndexMax);
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
