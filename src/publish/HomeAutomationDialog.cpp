#include "publish/HomeAutomationDialog.h"

#include "publish/BrokerCheck.h"
#include "ui_HomeAutomationDialog.h"
#include "widgets/PasswordField.h"
#include "widgets/QtText.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>

#include <vector>

namespace vorelle {

HomeAutomationDialog::HomeAutomationDialog(RestartablePublisher& publisher, std::filesystem::path configFile,
                                           Messages& messages, QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::HomeAutomationDialog>()),
      publisher_(publisher),
      configFile_(std::move(configFile)),
      messages_(messages)
{
    ui_->setupUi(this);
    MaskWithShowBox(*ui_->password, *ui_->showPassword);
    connect(ui_->tls, &QCheckBox::toggled, this, &HomeAutomationDialog::OnTlsSwitched);
    connect(ui_->topicPrefix, &QLineEdit::textChanged, this, &HomeAutomationDialog::ShowStateTopic);
    connect(ui_->browseButton, &QPushButton::clicked, this, &HomeAutomationDialog::OnBrowse);
    connect(ui_->testButton, &QPushButton::clicked, this, &HomeAutomationDialog::OnTest);
    connect(ui_->saveButton, &QPushButton::clicked, this, &HomeAutomationDialog::OnSave);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

HomeAutomationDialog::~HomeAutomationDialog() = default;

int HomeAutomationDialog::Run()
{
    // The file is read at each opening: its owner may have edited it meanwhile.
    std::vector<std::string> problems;
    ShowSettings(ReadMqttSettingsFile(configFile_, problems));
    ui_->showPassword->setChecked(false);
    return exec();
}

void HomeAutomationDialog::ShowSettings(const MqttSettings& settings)
{
    ui_->enabled->setChecked(settings.enabled);
    ui_->host->setText(ToQString(settings.host));
    // Set before the port, which switching TLS may change.
    ui_->tls->setChecked(settings.tls);
    OnTlsSwitched(settings.tls);
    ui_->port->setValue(settings.port);
    ui_->caFile->setText(ToQString(settings.caFile));
    ui_->user->setText(ToQString(settings.user));
    ui_->password->setText(ToQString(settings.password));
    ui_->topicPrefix->setText(ToQString(settings.topicPrefix));
    ShowStateTopic();
}

MqttSettings HomeAutomationDialog::Settings() const
{
    MqttSettings settings;
    settings.enabled = ui_->enabled->isChecked();
    settings.host = ui_->host->text().trimmed().toStdString();
    settings.port = ui_->port->value();
    settings.tls = ui_->tls->isChecked();
    settings.caFile = ui_->caFile->text().trimmed().toStdString();
    settings.user = ui_->user->text().toStdString();
    settings.password = ui_->password->text().toStdString();
    settings.topicPrefix = ui_->topicPrefix->text().trimmed().toStdString();
    return settings;
}

void HomeAutomationDialog::ShowStateTopic()
{
    ui_->stateTopic->setText(ToQString(TopicsFor(Settings().topicPrefix, publisher_.Device()).state));
}

void HomeAutomationDialog::OnTlsSwitched(bool on)
{
    // The port follows TLS while it is the usual one.
    if (ui_->port->value() == (on ? kMqttPort : kMqttTlsPort))
        ui_->port->setValue(on ? kMqttTlsPort : kMqttPort);
    ui_->caFile->setEnabled(on);
    ui_->browseButton->setEnabled(on);
}

void HomeAutomationDialog::OnBrowse()
{
    const QString chosen = QFileDialog::getOpenFileName(this, tr("CA file"), QFileInfo(ui_->caFile->text()).path(),
                                                        tr("Certificates (*.pem *.crt);;All files (*)"));
    if (!chosen.isEmpty())
        ui_->caFile->setText(chosen);
}

void HomeAutomationDialog::OnTest()
{
    const MqttSettings settings = Settings();
    // An id of its own: the broker would disconnect the publisher for a second one of its id.
    const std::string clientId = publisher_.Device().id + "_test";
    StartWork([this, settings, clientId](std::stop_token stop) -> WorkerJob::Then {
        const BrokerCheckResult result = CheckBroker(settings, clientId, stop);
        return [this, result] { messages_.Inform(result.message); };
    });
}

void HomeAutomationDialog::OnSave()
{
    const MqttSettings settings = Settings();
    StartWork([this, settings](std::stop_token) -> WorkerJob::Then {
        std::string error;
        const bool saved = SaveMqttSettings(configFile_, settings, error);
        if (saved)
            publisher_.Restart(settings);
        return [this, saved, error] {
            if (saved)
                accept();
            else
                messages_.Inform("The settings were not saved: " + error + ".");
        };
    });
}

void HomeAutomationDialog::StartWork(WorkerJob::Work work)
{
    const bool started = job_.Start([this, work = std::move(work)](std::stop_token stop) -> WorkerJob::Then {
        WorkerJob::Then then = work(stop);
        return [this, then = std::move(then)] {
            ShowWorking(false);
            then();
        };
    });
    // Its end arrives queued, after this.
    if (started)
        ShowWorking(true);
}

void HomeAutomationDialog::ShowWorking(bool working)
{
    if (working)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
    for (QPushButton* button : {ui_->testButton, ui_->saveButton, ui_->cancelButton})
        button->setEnabled(!working);
}

void HomeAutomationDialog::reject()
{
    if (!Working())
        QDialog::reject();
}

}  // namespace vorelle
