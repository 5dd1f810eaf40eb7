#pragma once

#include "console/ConsoleDoor.h"
#include "link/ConsoleLink.h"
#include "live/LiveReadings.h"
#include "live/Poller.h"
#include "messages/Messages.h"
#include "publish/MqttPublisher.h"
#include "widgets/WorkerJob.h"

#include <QMainWindow>

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QMenu;

namespace vorelle {

class BoardView;
class ConsoleDialog;
class RainTotalsDialog;
class MaxMinDialog;
class BasicSettingsDialog;
class AlarmDialog;
class CalibrationDialog;
class FirmwareUpdateDialog;
class MobileNetworkDialog;
class WebUploadDialog;
class HomeAutomationDialog;
class RestartablePublisher;
class RecordingsDialog;
class RecordDatabase;
class HistoryCatchUp;
struct GraphOptions;

// The main window: the painted board, the menu that opens every other part
// of the program, the status bar that tells whether the console is there and
// how the history's catching up goes, and the commands that reach the
// program from outside.
class MainWindow final : public QMainWindow {
    Q_OBJECT

public:
    struct Services {
        ConsoleLink& link;
        LiveReadings& readings;
        Poller& poller;
        Messages& messages;
        std::filesystem::path dataFolder;
        ConsoleDoor& console;  // what `link` talks to: its device events and controls
        ConsoleKind consoleKind = ConsoleKind::Usb;  // which station the readings are published as
    };

    explicit MainWindow(Services services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Opens the console, listens for device changes and starts polling, with
    // the history catching up between the readings; called once, after
    // construction.
    void Initialise();

    // Safe from any thread: the board repaints soon on the UI thread, once
    // however often it was asked in between.
    void RequestRepaint();

    // A HID interface arrived or left.
    void OnDeviceChange(DeviceEvent event);

    // A message from outside (`vorelle2 --send NAME`, or a second start of the
    // program asking to be shown). False for a name the window does not know.
    bool HandleOutsideMessage(const QString& name);

    // Runs a menu or outside command by its id.
    void RunCommand(int id);

    // The dialogs that can be opened by name (`vorelle2 --show NAME`).
    static QStringList DialogNames();
    // Opens the dialog called `name` as its menu item or message does, and
    // returns when it closes. False for an unknown name.
    bool ShowDialog(const QString& name);

    // The firmware update offer another program makes: on OK the firmware
    // dialog opens with its download started. True when the owner accepted.
    bool OfferFirmwareUpdate();

    const BoardView& Board() const { return *board_; }
    BasicSettingsDialog& BasicSettings() { BuildDialogs(); return *basicSettings_; }
    AlarmDialog& AlarmSettings() { BuildDialogs(); return *alarmSettings_; }
    CalibrationDialog& Calibration() { BuildDialogs(); return *calibration_; }
    RainTotalsDialog& RainTotals() { BuildDialogs(); return *rainfallTotals_; }
    MaxMinDialog& MaxMin() { BuildDialogs(); return *maxMin_; }
    MobileNetworkDialog& MobileNetwork() { BuildDialogs(); return *mobileNetwork_; }
    WebUploadDialog& WebUpload() { BuildDialogs(); return *webUpload_; }
    FirmwareUpdateDialog& FirmwareUpdate() { BuildDialogs(); return *firmwareUpdate_; }
    RecordingsDialog& Recordings() { BuildDialogs(); return *recordings_; }
    HomeAutomationDialog& HomeAutomation() { BuildDialogs(); return *homeAutomation_; }
    QString ConnectionText() const;
    // What the status bar says of publishing to MQTT, and its tool tip.
    QString PublishingText() const;
    QString PublishingDetails() const;
    // What the status bar says of the history's catching up.
    QString HistoryStateText() const;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What the first picture does without, done once it is on the screen.
    void FinishShowing();
    // The dialogs, built once, right after the first picture or when first
    // wanted, whichever comes first.
    void BuildDialogs();
    void WatchDevices();
    void BuildMenus();
    void BuildStatusBar();
    void ShowConnection();
    // Publishes every reading of the poll as Main.ini's [MQTT] section says.
    void StartPublishing();
    void ShowPublishing();
    // Catches the history up between the poll's readings as Main.ini's
    // [History] section says.
    void StartCatchingUp();
    // Safe from any thread: the pane shows the catch-up's state soon.
    void RequestHistoryState();
    void ShowHistoryState();
    // Recordings > Keep History Up to Date, remembered in Main.ini.
    void KeepHistoryUpToDate(bool on);
    void BringToFront();
    void ShowAbout();
    // The graph of the recording the store holds, as it noted it.
    void ShowStoredGraph();
    // The graph of the recording just exported, over the dialog `over`.
    void ShowGraph(const GraphOptions& options, QWidget* over);
    void RunGraph(RecordDatabase& store, const GraphOptions& options, QWidget* over);
    // Recordings > History...: the graph over the lasting history.
    void ShowHistory();
    // The one way every dialog runs: the poll stands still while it is open,
    // or while any of several open over one another is.
    void WhilePollPaused(const std::function<void()>& runDialog);
    // A settings dialog: when connected, `read` is exchanged first and the
    // dialog gets a copy of `slot`.
    void RunDialog(ConsoleDialog& dialog, const CommandSpec* read, std::size_t slot);
    // Runs `work` off the UI thread while the window shows that it works
    // (`status` on the status bar, a busy cursor, its menus disabled), and
    // returns once it has ended. False when the program ends first.
    bool WhileWorking(std::string_view status, WorkerJob::Work work);
    void ResetToFactory();

    Services services_;
    BoardView* board_ = nullptr;
    QLabel* connectionPane_ = nullptr;
    bool shownOnce_ = false;
    // Built once and reused, so that each keeps its fields between openings.
    BasicSettingsDialog* basicSettings_ = nullptr;
    AlarmDialog* alarmSettings_ = nullptr;
    CalibrationDialog* calibration_ = nullptr;
    RainTotalsDialog* rainfallTotals_ = nullptr;
    MaxMinDialog* maxMin_ = nullptr;
    MobileNetworkDialog* mobileNetwork_ = nullptr;
    WebUploadDialog* webUpload_ = nullptr;
    FirmwareUpdateDialog* firmwareUpdate_ = nullptr;
    RecordingsDialog* recordings_ = nullptr;
    std::unique_ptr<RestartablePublisher> publisher_;
    HomeAutomationDialog* homeAutomation_ = nullptr;  // deleted before the publisher it restarts
    QLabel* workPane_ = nullptr;
    QLabel* publishingPane_ = nullptr;
    QLabel* historyPane_ = nullptr;
    QAction* keepHistory_ = nullptr;
    // Works on the poll thread: it goes once the poll has stopped.
    std::unique_ptr<HistoryCatchUp> catchUp_;
    std::atomic<bool> historyStatePending_{false};
    PublisherStatus reportedPublishing_;  // as last told on standard error, without its retry time
    std::atomic<bool> repaintPending_{false};
    QString reportedOpenProblem_;
    int dialogsOpen_ = 0;
    // Last, so that a read still running ends before what it uses goes.
    WorkerJob job_{*this};
};

}  // namespace vorelle
