#include "settings/MobileNetworkDialog.h"

#include "ui_MobileNetworkDialog.h"
#include "widgets/FormFields.h"
#include "widgets/PasswordField.h"
#include "widgets/QtText.h"

namespace vorelle {

MobileNetworkDialog::MobileNetworkDialog(ConsoleLink& link, Messages& messages, QWidget* parent)
    : ConsoleDialog(link, messages, parent), ui_(std::make_unique<Ui::MobileNetworkDialog>())
{
    ui_->setupUi(this);
    for (std::string_view unit : kIntervalUnitTexts)
        ui_->currentIntervalUnit->addItem(ToQString(unit));
    ui_->alarmInterval->setToolTip(QStringLiteral(" 0 - 120 Minute"));
    ui_->currentInterval->setToolTip(QStringLiteral(" 0 - 24 Hour / 0 - 59 Minute"));
    ui_->alarmInterval->setToolTipDuration(kFieldToolTipMs);
    ui_->currentInterval->setToolTipDuration(kFieldToolTipMs);
    MaskWithShowBox(*ui_->password, *ui_->showPassword);
    connect(ui_->saveButton, &QPushButton::clicked, this, &MobileNetworkDialog::OnSave);
    connect(ui_->msgTestButton, &QPushButton::clicked, this, &MobileNetworkDialog::OnMsgTest);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

MobileNetworkDialog::~MobileNetworkDialog() = default;

void MobileNetworkDialog::InitDialog()
{
    // Nothing can be read back from the console: every opening starts blank.
    for (QLineEdit* field : {ui_->apn, ui_->user, ui_->password, ui_->tel1, ui_->tel2, ui_->tel3, ui_->testMessage,
                             ui_->alarmInterval, ui_->currentInterval})
        field->clear();
    ui_->showPassword->setChecked(false);
    const bool connected = link_.Connected();
    if (connected) {
        ui_->alarmInterval->setText(QStringLiteral("0"));
        ui_->currentInterval->setText(QStringLiteral("0"));
    }
    ui_->currentIntervalUnit->setCurrentIndex(static_cast<int>(connected ? IntervalUnit::Minute : IntervalUnit::Hour));
    ui_->saveButton->setEnabled(connected);
}

MobileNetworkForm MobileNetworkDialog::Form() const
{
    MobileNetworkForm form;
    form.apn = ui_->apn->text().toStdString();
    form.user = ui_->user->text().toStdString();
    form.password = ui_->password->text().toStdString();
    form.tel1 = ui_->tel1->text().toStdString();
    form.tel2 = ui_->tel2->text().toStdString();
    form.tel3 = ui_->tel3->text().toStdString();
    form.alarmInterval = ui_->alarmInterval->text().toStdString();
    form.currentInterval = ui_->currentInterval->text().toStdString();
    form.currentUnit = static_cast<IntervalUnit>(ui_->currentIntervalUnit->currentIndex());
    return form;
}

void MobileNetworkDialog::OnSave()
{
    const MobileNetworkForm form = Form();
    SaveAndConclude([this, form] { return SaveMobileNetwork(link_, form); });
}

void MobileNetworkDialog::OnMsgTest()
{
    const std::string text = ui_->testMessage->text().toStdString();
    SaveAndConclude([this, text] { return SendTestMessage(link_, text); });
}

}  // namespace vorelle
