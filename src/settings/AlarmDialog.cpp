#include "settings/AlarmDialog.h"

#include "ui_AlarmDialog.h"
#include "units/Formatters.h"
#include "widgets/FieldNames.h"
#include "widgets/QtText.h"

namespace vorelle {

namespace {

// The high group holds the rows from the indoor temperature to the gust
// speed, the low group the rest; the rows are in the order of AlarmRow.
bool IsHighRow(AlarmRow row)
{
    switch (row) {
    case AlarmRow::IndoorTempLow:
    case AlarmRow::IndoorHumidityLow:
    case AlarmRow::OutdoorTempLow:
    case AlarmRow::OutdoorHumidityLow:
    case AlarmRow::DewPointLow:
    case AlarmRow::AbsPressureLow:
    case AlarmRow::RelPressureLow:
    case AlarmRow::FeelsLikeLow:
        return false;
    default:
        return true;
    }
}

}  // namespace

AlarmDialog::AlarmDialog(ConsoleLink& link, Messages& messages, const LiveReadings& readings, QWidget* parent)
    : ConsoleDialog(link, messages, parent), readings_(readings), ui_(std::make_unique<Ui::AlarmDialog>())
{
    ui_->setupUi(this);
    Ui::AlarmDialog& u = *ui_;
    const auto set = [this](AlarmRow row, QLineEdit* field, QCheckBox* on) {
        rows_[static_cast<std::size_t>(row)] = {field, on};
    };
    set(AlarmRow::IndoorTempHigh, u.indoorTempHigh, u.indoorTempHighOn);
    set(AlarmRow::IndoorTempLow, u.indoorTempLow, u.indoorTempLowOn);
    set(AlarmRow::IndoorHumidityHigh, u.indoorHumidityHigh, u.indoorHumidityHighOn);
    set(AlarmRow::IndoorHumidityLow, u.indoorHumidityLow, u.indoorHumidityLowOn);
    set(AlarmRow::OutdoorTempHigh, u.outdoorTempHigh, u.outdoorTempHighOn);
    set(AlarmRow::OutdoorTempLow, u.outdoorTempLow, u.outdoorTempLowOn);
    set(AlarmRow::OutdoorHumidityHigh, u.outdoorHumidityHigh, u.outdoorHumidityHighOn);
    set(AlarmRow::OutdoorHumidityLow, u.outdoorHumidityLow, u.outdoorHumidityLowOn);
    set(AlarmRow::DewPointHigh, u.dewPointHigh, u.dewPointHighOn);
    set(AlarmRow::DewPointLow, u.dewPointLow, u.dewPointLowOn);
    set(AlarmRow::AbsPressureHigh, u.absPressureHigh, u.absPressureHighOn);
    set(AlarmRow::AbsPressureLow, u.absPressureLow, u.absPressureLowOn);
    set(AlarmRow::RelPressureHigh, u.relPressureHigh, u.relPressureHighOn);
    set(AlarmRow::RelPressureLow, u.relPressureLow, u.relPressureLowOn);
    set(AlarmRow::FeelsLikeHigh, u.feelsLikeHigh, u.feelsLikeHighOn);
    set(AlarmRow::FeelsLikeLow, u.feelsLikeLow, u.feelsLikeLowOn);
    set(AlarmRow::WindSpeed, u.windSpeed, u.windSpeedOn);
    set(AlarmRow::GustSpeed, u.gustSpeed, u.gustSpeedOn);
    NameFields();

    connect(u.selectAllHigh, &QCheckBox::clicked, this, [this](bool on) { SelectAll(true, on); });
    connect(u.selectAllLow, &QCheckBox::clicked, this, [this](bool on) { SelectAll(false, on); });
    connect(u.saveButton, &QPushButton::clicked, this, &AlarmDialog::OnSave);
    connect(u.cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

AlarmDialog::~AlarmDialog() = default;

void AlarmDialog::NameFields()
{
    // A row's label stands in both groups, and the switches have none: each
    // is named by its row and its group.
    for (const RowControls& row : rows_) {
        const QString label = LabelTextOf(*row.field);
        const QString group = GroupTitleOf(*row.field);
        NameByRowAndColumn(*row.field, label, group);
        NameByRowAndColumn(*row.on, label, group + QStringLiteral(" on"));
    }
    NameByRowAndColumn(*ui_->selectAllHigh, ui_->selectAllHigh->text(), ui_->highGroup->title());
    NameByRowAndColumn(*ui_->selectAllLow, ui_->selectAllLow->text(), ui_->lowGroup->title());
}

void AlarmDialog::InitDialog()
{
    units_ = readings_.Units();
    ShowUnits();
    ui_->selectAllHigh->setChecked(false);
    ui_->selectAllLow->setChecked(false);
    if (HasConsoleBlock()) {
        thresholds_ = DecodeAlarm(block_, thresholds_);
        ShowForm(ShowAlarm(thresholds_, units_));
    } else {
        ShowForm({});
    }
    ui_->saveButton->setEnabled(HasConsoleBlock());
}

void AlarmDialog::ShowUnits()
{
    const QString temperature = ToQString(TemperatureUnitName(units_.temperature));
    const QString pressure = ToQString(" " + std::string(PressureUnitName(units_.pressure)));
    const QString wind = ToQString(" " + std::string(WindUnitName(units_.wind)));
    for (QLabel* label : {ui_->indoorTempHighUnit, ui_->indoorTempLowUnit, ui_->outdoorTempHighUnit,
                          ui_->outdoorTempLowUnit, ui_->feelsLikeHighUnit, ui_->feelsLikeLowUnit,
                          ui_->dewPointHighUnit, ui_->dewPointLowUnit})
        label->setText(temperature);
    for (QLabel* label : {ui_->absPressureHighUnit, ui_->absPressureLowUnit, ui_->relPressureHighUnit,
                          ui_->relPressureLowUnit})
        label->setText(pressure);
    ui_->windSpeedUnit->setText(wind);
    ui_->gustSpeedUnit->setText(wind);
}

void AlarmDialog::ShowForm(const AlarmForm& form)
{
    for (std::size_t i = 0; i < kAlarmShownRows; ++i) {
        rows_[i].field->setText(ToQString(form.rows[i].text));
        rows_[i].on->setChecked(form.rows[i].on);
    }
}

void AlarmDialog::SelectAll(bool high, bool on)
{
    for (std::size_t i = 0; i < kAlarmShownRows; ++i)
        if (IsHighRow(static_cast<AlarmRow>(i)) == high)
            rows_[i].on->setChecked(on);
}

AlarmForm AlarmDialog::Form() const
{
    AlarmForm form;
    for (std::size_t i = 0; i < kAlarmShownRows; ++i)
        form.rows[i] = {rows_[i].field->text().toStdString(), rows_[i].on->isChecked()};
    return form;
}

void AlarmDialog::OnSave()
{
    const AlarmForm form = Form();
    SaveBlockAndConclude([this, form, shown = thresholds_, units = units_] {
        return SaveAlarm(link_, screenFlag_, form, shown, units);
    });
}

}  // namespace vorelle
