#include "app/MainWindow.h"

#include "app/AboutBox.h"
#include "app/BoardArt.h"
#include "app/BoardView.h"
#include "app/CommandIds.h"
#include "app/FactoryReset.h"
#include "owner/InstanceChannel.h"
#include "firmware/FirmwareUpdateDialog.h"
#include "graph/GraphDialog.h"
#include "live/LiveExchanges.h"
#include "publish/HomeAutomationDialog.h"
#include "publish/RestartablePublisher.h"
#include "recordings/CatchUpSettings.h"
#include "recordings/HistoryCatchUp.h"
#include "recordings/RecordingMessages.h"
#include "recordings/RecordingsDialog.h"
#include "settings/AlarmDialog.h"
#include "settings/BasicSettingsDialog.h"
#include "settings/CalibrationDialog.h"
#include "settings/MaxMinDialog.h"
#include "settings/MobileNetworkDialog.h"
#include "settings/RainTotalsDialog.h"
#include "settings/WebUploadDialog.h"
#include "store/DataFolder.h"
#include "store/DesktopDateOrder.h"
#include "store/HistoryStore.h"
#include "store/RecordDatabase.h"
#include "store/StoredRecording.h"
#include "widgets/QtText.h"

#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <cstdio>

namespace vorelle {

namespace {
constexpr int kStatusBarHeight = 20;
constexpr int kStatusPaneWidth = 150;
// As wide as the narrowest board leaves it beside the other panes: enough for
// "History catching up: 2 of 9 recordings"; a longer text is cut there.
constexpr int kHistoryPaneWidth = 230;
// How soon a command that came while the window worked is tried again.
constexpr int kBusyRetryMs = 100;

// Every dialog a name opens, by the command that opens it.
struct NamedDialog {
    const char* name;
    int command;
};
constexpr NamedDialog kNamedDialogs[] = {
    {"basic-settings", command_id::BasicSettings},
    {"rainfall-totals", command_id::RainfallTotals},
    {"alarm", command_id::AlarmSettings},
    {"calibration", command_id::CalibrationSettings},
    {"home-automation", command_id::HomeAutomation},
    {"mobile-network", command_id::MobileNetwork},
    {"web-server", command_id::WebServer},
    {"max-min", command_id::MaxMin},
    {"recordings", command_id::SdCardRecordings},
    {"about", command_id::About},
    {"graph", command_id::Graph},
    {"history", command_id::History},
};
}  // namespace

MainWindow::MainWindow(Services services, QWidget* parent) : QMainWindow(parent), services_(std::move(services))
{
    BuildMenus();
    BuildStatusBar();
    setWindowTitle(QStringLiteral("Vorelle 2"));
    board_ = new BoardView(services_.readings, this);
    setCentralWidget(board_);
    // The publishers tell of their status on threads of their own.
    publisher_ = std::make_unique<RestartablePublisher>(
        StationDevice(services_.consoleKind == ConsoleKind::Simulated),
        [this] { QMetaObject::invokeMethod(this, [this] { ShowPublishing(); }, Qt::QueuedConnection); });
    // The window takes the size of its board, which grows and shrinks with
    // the channel column.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

MainWindow::~MainWindow()
{
    services_.console.StopWatchingDevices();
    // The catch-up works on the poll thread, and tells this window of its
    // state until it has gone.
    services_.poller.Stop();
    services_.poller.SetBetweenPolls(nullptr);
    catchUp_.reset();
    // A save still running restarts the publisher: it ends first.
    delete homeAutomation_;
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        windowHandle()->installEventFilter(this);
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The window paints its first picture while it handles this expose;
    // what is queued now runs once that picture is on the screen. A window
    // the desktop starts minimized has no picture to wait for.
    const bool exposed = event->type() == QEvent::Expose && windowHandle()->isExposed();
    const bool minimized =
        event->type() == QEvent::WindowStateChange && (windowHandle()->windowStates() & Qt::WindowMinimized);
    if (watched == windowHandle() && (exposed || minimized)) {
        windowHandle()->removeEventFilter(this);
        QTimer::singleShot(0, this, &MainWindow::FinishShowing);
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::FinishShowing()
{
    // Painting the icon at its six sizes and handing it to the window system
    // takes longer than the rest of the window; the desktop takes it as well
    // a moment after the window appears.
    setWindowIcon(AppIcon());
    BuildDialogs();
}

void MainWindow::BuildDialogs()
{
    if (basicSettings_)
        return;
    basicSettings_ = new BasicSettingsDialog(services_.link, services_.messages, this);
    alarmSettings_ = new AlarmDialog(services_.link, services_.messages, services_.readings, this);
    calibration_ = new CalibrationDialog(services_.link, services_.messages, services_.readings, this);
    rainfallTotals_ = new RainTotalsDialog(services_.link, services_.messages, services_.readings, this);
    maxMin_ = new MaxMinDialog(services_.link, services_.messages, services_.readings, this);
    mobileNetwork_ = new MobileNetworkDialog(services_.link, services_.messages, this);
    webUpload_ = new WebUploadDialog(services_.link, services_.messages, this);
    firmwareUpdate_ = new FirmwareUpdateDialog(services_.link, services_.messages, services_.dataFolder, {}, this);
    recordings_ = new RecordingsDialog(services_.link, services_.messages, services_.dataFolder, this);
    recordings_->SetGraphOpener([this](const StoredRecording& recording) {
        ShowGraph({recording.Layout(), recording.labels}, recordings_);
    });
    homeAutomation_ = new HomeAutomationDialog(*publisher_, services_.dataFolder / kConfigurationFile,
                                               services_.messages, this);
}

void MainWindow::BuildMenus()
{
    const auto add = [this](QMenu* menu, const QString& text, int id, bool available) {
        QAction* action = menu->addAction(text, this, [this, id] { RunCommand(id); });
        action->setData(id);
        action->setEnabled(available);
        return action;
    };
    QMenu* setup = menuBar()->addMenu(tr("&Setup"));
    add(setup, tr("Basic Settings"), command_id::BasicSettings, true);
    add(setup, tr("Alarm Settings"), command_id::AlarmSettings, true);
    add(setup, tr("Calibration Settings"), command_id::CalibrationSettings, true);
    add(setup, tr("Rainfall Totals"), command_id::RainfallTotals, true);
    add(setup, tr("Home Automation..."), command_id::HomeAutomation, true);
    QMenu* recordings = menuBar()->addMenu(tr("&Recordings"));
    add(recordings, tr("Max/Min"), command_id::MaxMin, true);
    add(recordings, tr("SD Card Recordings"), command_id::SdCardRecordings, true);
    add(recordings, tr("History..."), command_id::History, true);
    keepHistory_ = add(recordings, tr("Keep History Up to Date"), command_id::KeepHistory, true);
    keepHistory_->setCheckable(true);
    keepHistory_->setChecked(true);
    // Desktops give a window no system menu to append to; the About item
    // lives in a Help menu instead.
    QMenu* help = menuBar()->addMenu(tr("&Help"));
    add(help, tr("About Vorelle2 (&A)..."), command_id::About, true);

    // No menu of its own carries it, but desktops quit with Ctrl+Q everywhere
    // (spelled out: not every platform theme defines the standard key).
    auto* quit = new QAction(this);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setShortcutContext(Qt::ApplicationShortcut);
    connect(quit, &QAction::triggered, this, &QWidget::close);
    addAction(quit);
}

void MainWindow::BuildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(false);
    bar->setFixedHeight(kStatusBarHeight);
    for (QLabel** pane : {&workPane_, &publishingPane_, &historyPane_}) {
        *pane = new QLabel(bar);
        (*pane)->setFixedWidth(pane == &historyPane_ ? kHistoryPaneWidth : kStatusPaneWidth);
        bar->addWidget(*pane);
    }
    connectionPane_ = new QLabel(bar);
    bar->addWidget(connectionPane_, 1);
}

void MainWindow::Initialise()
{
    services_.link.Open();
    WatchDevices();
    StartPublishing();
    StartCatchingUp();
    services_.poller.Start();
    ShowConnection();
}

void MainWindow::WatchDevices()
{
    // Device events come on a thread of the console's door.
    const bool watching = services_.console.WatchDevices([this](DeviceEvent event) {
        QMetaObject::invokeMethod(this, [this, event] { OnDeviceChange(event); }, Qt::QueuedConnection);
    });
    if (!watching)
        std::fprintf(stderr, "vorelle2: no device events on this machine; a console plugged in later is not noticed\n");
}

QString MainWindow::ConnectionText() const { return connectionPane_->text(); }

void MainWindow::ShowConnection()
{
    const bool connected = services_.link.Connected();
    connectionPane_->setText(connected ? tr("Connected") : tr("Unconnected"));
    const std::optional<OpenProblem> problem = connected ? std::nullopt : services_.link.Link().LastOpenProblem();
    const QString problemText = problem ? ToQString(DescribeOpenProblem(*problem)) : QString();
    connectionPane_->setToolTip(problemText);
    // Said once on standard error too, where someone starting the program
    // from a terminal looks first.
    if (!problemText.isEmpty() && problemText != reportedOpenProblem_)
        std::fprintf(stderr, "vorelle2: %s\n", qPrintable(problemText));
    reportedOpenProblem_ = problemText;
}

void MainWindow::StartPublishing()
{
    std::vector<std::string> problems;
    const MqttSettings settings = ReadMqttSettingsFile(services_.dataFolder / kConfigurationFile, problems);
    for (const std::string& problem : problems)
        std::fprintf(stderr, "vorelle2: %s\n", problem.c_str());
    publisher_->Restart(settings);
    services_.poller.SetReadingListener([this](const LiveReadings::Snapshot& snapshot) {
        publisher_->Publish({snapshot, std::chrono::system_clock::now()});
    });
}

QString MainWindow::PublishingText() const { return publishingPane_->text(); }

QString MainWindow::PublishingDetails() const { return publishingPane_->toolTip(); }

void MainWindow::ShowPublishing()
{
    PublisherStatus status = publisher_->Status();
    // Trying again is no news: the pane says the broker is away until it is back.
    if (status.state == PublisherState::Connecting && reportedPublishing_.state == PublisherState::Away &&
        status.broker == reportedPublishing_.broker)
        return;
    const bool off = status.state == PublisherState::Off;
    switch (status.state) {
    case PublisherState::Off: publishingPane_->setText(status.reason.empty() ? QString() : tr("MQTT: off")); break;
    case PublisherState::Connecting: publishingPane_->setText(tr("MQTT: connecting")); break;
    case PublisherState::Connected: publishingPane_->setText(tr("MQTT: publishing")); break;
    case PublisherState::Away: publishingPane_->setText(tr("MQTT: broker away")); break;
    }
    publishingPane_->setToolTip(off && status.reason.empty() ? QString() : ToQString(StatusText(status)));
    // Said on standard error once per change, where a terminal's owner looks.
    if (status.state == PublisherState::Connecting)
        return;
    const std::string said = StatusText(status);
    status.retryIn = {};
    if (status != reportedPublishing_)
        std::fprintf(stderr, "vorelle2: %s\n", said.c_str());
    reportedPublishing_ = status;
}

void MainWindow::StartCatchingUp()
{
    std::vector<std::string> problems;
    const CatchUpSettings settings = ReadCatchUpSettingsFile(services_.dataFolder / kConfigurationFile, problems);
    for (const std::string& problem : problems)
        std::fprintf(stderr, "vorelle2: %s\n", problem.c_str());
    keepHistory_->setChecked(settings.enabled);
    // It tells of its state on the poll and merge threads.
    catchUp_ = std::make_unique<HistoryCatchUp>(
        services_.link, HistoryCatchUp::Options{.dataFolder = services_.dataFolder,
                                                .dateOrder = DesktopDateOrder(),
                                                .settings = settings,
                                                .stateChanged = [this] { RequestHistoryState(); }});
    services_.poller.SetBetweenPolls(catchUp_.get());
    ShowHistoryState();
}

QString MainWindow::HistoryStateText() const { return historyPane_->text(); }

void MainWindow::RequestHistoryState()
{
    // Each recording merged is news; the pane shows the latest once.
    if (historyStatePending_.exchange(true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            historyStatePending_ = false;
            ShowHistoryState();
        },
        Qt::QueuedConnection);
}

void MainWindow::ShowHistoryState()
{
    // A long reason why the history is behind is cut on the pane and read
    // whole in its tool tip.
    const QString text = ToQString(CatchUpStatusText(catchUp_->State()));
    historyPane_->setText(historyPane_->fontMetrics().elidedText(text, Qt::ElideRight, historyPane_->width()));
    historyPane_->setToolTip(text);
}

void MainWindow::KeepHistoryUpToDate(bool on)
{
    catchUp_->SetEnabled(on);
    // Every other line of Main.ini stays as its owner wrote it.
    const std::filesystem::path file = services_.dataFolder / kConfigurationFile;
    std::string error;
    WhileWorking({}, [file, on, &error](std::stop_token) -> WorkerJob::Then {
        std::vector<std::string> problems;
        CatchUpSettings settings = ReadCatchUpSettingsFile(file, problems);
        settings.enabled = on;
        std::string failure;
        if (SaveCatchUpSettings(file, settings, failure))
            return {};
        // Runs only while the wait above holds `error`.
        return [&error, failure] { error = failure; };
    });
    if (!error.empty())
        services_.messages.Inform("The setting was not saved: " + error + ".");
}

void MainWindow::BringToFront()
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void MainWindow::RequestRepaint()
{
    if (repaintPending_.exchange(true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            repaintPending_ = false;
            board_->Refresh();
        },
        Qt::QueuedConnection);
}

void MainWindow::OnDeviceChange(DeviceEvent event)
{
    // The link may have noticed a pulled console before the notification came,
    // so the pane is brought up to date either way.
    services_.link.OnDeviceChange(event);
    ShowConnection();
}

bool MainWindow::HandleOutsideMessage(const QString& name)
{
    if (name == QLatin1String(InstanceChannel::kActivateMessage))
        BringToFront();
    else if (name == QLatin1String("firmware-offer"))
        OfferFirmwareUpdate();
    else if (name == QLatin1String("web-server"))
        RunCommand(command_id::WebServer);
    else if (name == QLatin1String("mobile-network"))
        RunCommand(command_id::MobileNetwork);
    else if (name == QLatin1String("reset"))
        RunCommand(command_id::FactoryReset);
    else if (!IsConsoleControl(name.toStdString()))
        return false;
    else if (const std::optional<std::string> refusal = services_.console.Control(name.toStdString()))
        std::fprintf(stderr, "vorelle2: %s\n", refusal->c_str());
    return true;
}

void MainWindow::WhilePollPaused(const std::function<void()>& runDialog)
{
    // An outside message may open a dialog over another, which may be saving.
    ++dialogsOpen_;
    services_.poller.DialogOpen = true;
    runDialog();
    if (--dialogsOpen_ == 0)
        services_.poller.DialogOpen = false;
    board_->Refresh();
}

bool MainWindow::WhileWorking(std::string_view status, WorkerJob::Work work)
{
    QApplication::setOverrideCursor(Qt::BusyCursor);
    menuBar()->setEnabled(false);
    workPane_->setText(ToQString(status));
    const bool ended = job_.Await(std::move(work));
    workPane_->clear();
    menuBar()->setEnabled(true);
    QApplication::restoreOverrideCursor();
    return ended;
}

void MainWindow::RunDialog(ConsoleDialog& dialog, const CommandSpec* read, std::size_t slot)
{
    // Asked for again from outside while it is open, and perhaps saving.
    if (dialog.isVisible()) {
        dialog.raise();
        dialog.activateWindow();
        return;
    }
    WhilePollPaused([&] {
        const auto readBlock = [this, read](std::stop_token) -> WorkerJob::Then {
            if (read->code == CMD_READ_SETTING.code)
                ReadSettings(services_.link, services_.readings);  // also refreshes the display units
            else
                services_.link.Exchange(MakeCommand(*read), *read);
            return {};
        };
        if (read && services_.link.Connected() && !WhileWorking(kReadingText, readBlock))
            return;
        // After a timeout the dialog shows what the slot held from the last read.
        if (read)
            dialog.SetSettingsBlock(services_.link.Area().CopySlot(slot));
        dialog.Run();
    });
}

void MainWindow::ResetToFactory()
{
    if (!ConfirmFactoryReset(services_.messages))
        return;
    std::string said;
    // The history's catch-up, which fetches into the recordings it deletes,
    // gives the link back meanwhile.
    WhilePollPaused([this, &said] {
        WhileWorking({}, [this, &said](std::stop_token) -> WorkerJob::Then {
            const std::string message = ResetToFactorySettings(services_.link, services_.dataFolder).message;
            // Runs only while the wait above holds `said`.
            return [&said, message] { said = message; };
        });
    });
    if (!said.empty())
        services_.messages.Inform(said);
}

void MainWindow::RunCommand(int id)
{
    // A command from outside that comes while the window reads for a dialog
    // waits its turn.
    if (job_.Busy()) {
        QTimer::singleShot(kBusyRetryMs, this, [this, id] { RunCommand(id); });
        return;
    }
    BuildDialogs();
    switch (id) {
    case command_id::About:
        ShowAbout();
        break;
    case command_id::BasicSettings:
        RunDialog(*basicSettings_, &CMD_READ_SETTING, ReplyArea::kSettingSlot);
        break;
    case command_id::AlarmSettings:
        RunDialog(*alarmSettings_, &CMD_READ_ALARM, ReplyArea::kAlarmSlot);
        break;
    case command_id::CalibrationSettings:
        RunDialog(*calibration_, &CMD_READ_CALIB, ReplyArea::kCalibSlot);
        break;
    case command_id::RainfallTotals:
        RunDialog(*rainfallTotals_, nullptr, 0);
        break;
    case command_id::MaxMin:
        RunDialog(*maxMin_, &CMD_READ_MAXMIN, ReplyArea::kMaxMinSlot);
        break;
    case command_id::SdCardRecordings:
        WhilePollPaused([this] { recordings_->Run(); });
        break;
    case command_id::FactoryReset:
        ResetToFactory();
        break;
    case command_id::WebServer:
        RunDialog(*webUpload_, nullptr, 0);
        break;
    case command_id::MobileNetwork:
        RunDialog(*mobileNetwork_, nullptr, 0);
        break;
    case command_id::Graph:
        ShowStoredGraph();
        break;
    case command_id::HomeAutomation:
        // The poll goes on: it is what is published.
        homeAutomation_->Run();
        break;
    case command_id::History:
        ShowHistory();
        break;
    case command_id::KeepHistory:
        // The menu has checked or unchecked the item already.
        KeepHistoryUpToDate(keepHistory_->isChecked());
        break;
    default:
        break;
    }
}

QStringList MainWindow::DialogNames()
{
    QStringList names;
    for (const NamedDialog& dialog : kNamedDialogs)
        names << QString::fromLatin1(dialog.name);
    return names;
}

bool MainWindow::ShowDialog(const QString& name)
{
    for (const NamedDialog& dialog : kNamedDialogs) {
        if (name == QLatin1String(dialog.name)) {
            RunCommand(dialog.command);
            return true;
        }
    }
    return false;
}

bool MainWindow::OfferFirmwareUpdate()
{
    const Message offer{"An updated version firmware is available.Upgrade now?", "Update Firmware",
                        MessageButtons::OkCancel, MessageIcon::Question, true};
    if (services_.messages.Show(offer) != MessageAnswer::Ok)
        return false;
    WhilePollPaused([this] { FirmwareUpdate().Run(true); });
    return true;
}

void MainWindow::ShowStoredGraph()
{
    StoreResult<RecordDatabase> store = RecordDatabase::Open(services_.dataFolder / kRecordStoreFile);
    StoreResult<StoredRecording> recording = store ? StoredRecordingOf(store.Value()) : store.TakeError();
    if (!recording) {
        services_.messages.Inform(recording.Error());
        return;
    }
    RunGraph(store.Value(), {recording->Layout(), recording->labels}, this);
}

void MainWindow::ShowGraph(const GraphOptions& options, QWidget* over)
{
    StoreResult<RecordDatabase> store = RecordDatabase::Open(services_.dataFolder / kRecordStoreFile);
    if (!store) {
        services_.messages.Inform(store.Error());
        return;
    }
    RunGraph(store.Value(), options, over);
}

void MainWindow::RunGraph(RecordDatabase& store, const GraphOptions& options, QWidget* over)
{
    // The graph reads the store only; the console's poll goes on.
    GraphDialog graph(store, services_.messages, over);
    graph.Run(options);
}

void MainWindow::ShowHistory()
{
    StoreResult<HistoryStore> history = HistoryStore::Open(services_.dataFolder / kHistoryFile);
    if (!history) {
        services_.messages.Inform(history.Error());
        return;
    }
    // Like the graph, it only reads: the console's poll goes on.
    GraphDialog dialog(history.Value(), services_.messages, this);
    dialog.RunHistory();
}

void MainWindow::ShowAbout()
{
    AboutBox about(this);
    about.exec();
}

}  // namespace vorelle
