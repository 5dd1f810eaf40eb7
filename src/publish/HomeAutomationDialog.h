#pragma once

#include "messages/Messages.h"
#include "publish/MqttSettings.h"
#include "publish/RestartablePublisher.h"
#include "widgets/WorkerJob.h"

#include <QDialog>

#include <filesystem>
#include <memory>
#include <string_view>

namespace Ui {
class HomeAutomationDialog;
}

namespace vorelle {

// Home Automation: the MQTT broker the readings are published to, as
// Main.ini's [MQTT] section keeps it. Test connects with the settings as
// typed and says what happened; Save writes the file and publishes with them
// from then on. Both run off the UI thread, the buttons off meanwhile.
class HomeAutomationDialog final : public QDialog {
    Q_OBJECT

public:
    // The name that opens this dialog on start.
    static constexpr std::string_view kShowName = "home-automation";

    HomeAutomationDialog(RestartablePublisher& publisher, std::filesystem::path configFile, Messages& messages,
                         QWidget* parent = nullptr);
    ~HomeAutomationDialog() override;

    // Fills the controls from the file afresh and runs the dialog modally.
    int Run();

    // What the controls hold now.
    MqttSettings Settings() const;

    // True while a test or a save runs.
    bool Working() const { return job_.Busy(); }

    // Ignored while a test or a save runs.
    void reject() override;

private:
    void ShowSettings(const MqttSettings& settings);
    void ShowStateTopic();
    void OnTlsSwitched(bool on);
    void OnBrowse();
    void OnTest();
    void OnSave();
    // Runs `work` on the worker with the buttons off and a busy cursor.
    void StartWork(WorkerJob::Work work);
    void ShowWorking(bool working);

    std::unique_ptr<Ui::HomeAutomationDialog> ui_;
    RestartablePublisher& publisher_;
    const std::filesystem::path configFile_;
    Messages& messages_;
    // Last, so that a work still running ends before what it uses goes.
    WorkerJob job_{*this};
};

}  // namespace vorelle
