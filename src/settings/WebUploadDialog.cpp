#include "settings/WebUploadDialog.h"

#include "ui_WebUploadDialog.h"
#include "widgets/FormFields.h"
#include "widgets/PasswordField.h"
#include "widgets/QtText.h"

namespace vorelle {

WebUploadDialog::WebUploadDialog(ConsoleLink& link, Messages& messages, QWidget* parent)
    : ConsoleDialog(link, messages, parent), ui_(std::make_unique<Ui::WebUploadDialog>())
{
    ui_->setupUi(this);
    FillList(ui_->web, kWebRows);
    FillList(ui_->serverType, kServerTypeTexts);
    FillList(ui_->uploadType, kUploadTypeTexts);
    FillList(ui_->intervalUnit, kIntervalUnitTexts);
    ui_->interval->setToolTip(QStringLiteral(" 0 - 24 Hour / 0 - 59 Minute"));
    ui_->interval->setToolTipDuration(kFieldToolTipMs);
    MaskWithShowBox(*ui_->password, *ui_->showPassword);
    connect(ui_->web, &QComboBox::activated, this, &WebUploadDialog::OnWebChosen);
    connect(ui_->saveButton, &QPushButton::clicked, this, &WebUploadDialog::OnSave);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

WebUploadDialog::~WebUploadDialog() = default;

void WebUploadDialog::InitDialog()
{
    ui_->showPassword->setChecked(false);
    const bool connected = link_.Connected();
    ShowForm(OpeningWebUploadForm(connected));
    ui_->saveButton->setEnabled(connected);
}

void WebUploadDialog::ShowForm(const WebUploadForm& form)
{
    ui_->web->setCurrentIndex(form.webRow);
    ui_->web->setEditText(ToQString(form.server));
    ui_->id->setText(ToQString(form.id));
    ui_->password->setText(ToQString(form.password));
    ui_->serverType->setCurrentIndex(form.serverTypeRow);
    ui_->uploadType->setCurrentIndex(form.uploadTypeRow);
    ui_->port->setText(ToQString(form.port));
    ui_->interval->setText(ToQString(form.interval));
    ui_->intervalUnit->setCurrentIndex(static_cast<int>(form.intervalUnit));
    for (QWidget* fixed : std::initializer_list<QWidget*>{ui_->serverType, ui_->uploadType, ui_->port})
        fixed->setEnabled(!form.typeAndPortFixed);
}

WebUploadForm WebUploadDialog::Form() const
{
    WebUploadForm form;
    form.webRow = ui_->web->currentIndex();
    form.server = ui_->web->currentText().toStdString();
    form.id = ui_->id->text().toStdString();
    form.password = ui_->password->text().toStdString();
    form.serverTypeRow = ui_->serverType->currentIndex();
    form.uploadTypeRow = ui_->uploadType->currentIndex();
    form.port = ui_->port->text().toStdString();
    form.interval = ui_->interval->text().toStdString();
    form.intervalUnit = static_cast<IntervalUnit>(ui_->intervalUnit->currentIndex());
    form.typeAndPortFixed = !ui_->port->isEnabled();
    return form;
}

void WebUploadDialog::OnWebChosen(int row)
{
    WebUploadForm form = Form();
    SelectWebServer(form, row);
    ShowForm(form);
}

void WebUploadDialog::OnSave()
{
    const WebUploadForm form = Form();
    SaveAndConclude([this, form] { return SaveWebUpload(link_, form); });
}

}  // namespace vorelle
