#include "cli/ServeCommand.h"

#include "cli/CliConsole.h"
#include "cli/RecordStoreOptions.h"
#include "live/Poller.h"
#include "live/ReadingFeed.h"
#include "owner/ConsoleServer.h"
#include "owner/EndSignals.h"
#include "owner/InstanceChannel.h"
#include "publish/Discovery.h"
#include "publish/MqttPublisher.h"
#include "recordings/CatchUpSettings.h"
#include "recordings/HistoryCatchUp.h"
#include "store/DataFolder.h"
#include "store/DesktopDateOrder.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>

namespace vorelle {

namespace {

constexpr std::string_view kPasswordVariable = "VORELLE2_MQTT_PASSWORD";
// How often the history's progress is told at most.
constexpr std::chrono::seconds kProgressEvery{1};
// The outside messages of the window program that open a dialog or ask a
// question: without a window nobody could answer.
constexpr std::string_view kWindowMessages[] = {"firmware-offer", "web-server", "mobile-network", "reset"};

void SayWhileServing(const std::string& text) { std::fprintf(stderr, "vorelle2-cli serve: %s\n", text.c_str()); }

// Where the readings are published: --mqtt's address, else Main.ini's [MQTT]
// (off unless it says otherwise), with the password of VORELLE2_MQTT_PASSWORD
// when that is set. What is wrong with the command line, if anything.
std::optional<std::string> ReadPublishing(const OptionValues& options, const std::filesystem::path& dataFolder,
                                          MqttSettings& settings)
{
    if (options.Has("--mqtt")) {
        std::string error;
        std::optional<MqttSettings> fromUrl = ParseMqttUrl(options.Value("--mqtt"), error);
        if (!fromUrl)
            return "--mqtt: " + error;
        settings = std::move(*fromUrl);
    } else {
        std::vector<std::string> problems;
        settings = ReadMqttSettingsFile(dataFolder / kConfigurationFile, problems);
        for (const std::string& problem : problems)
            SayWhileServing(problem);
    }
    if (const char* password = std::getenv(std::string(kPasswordVariable).c_str()); password && *password)
        settings.password = password;
    return std::nullopt;
}

// What a message from `vorelle2 --send` does without a window: the simulated
// console's cable is pulled or plugged; what needs the window is refused.
void TakeMessage(ConsoleDoor& console, const std::string& name)
{
    if (IsConsoleControl(name)) {
        if (const std::optional<std::string> refusal = console.Control(name))
            SayWhileServing(*refusal);
    } else if (name == InstanceChannel::kActivateMessage) {
        SayWhileServing("a window was asked for, but Vorelle 2 runs here without one; stop it first "
                        "(systemctl --user stop vorelle2)");
    } else if (std::find(std::begin(kWindowMessages), std::end(kWindowMessages), name) != std::end(kWindowMessages)) {
        SayWhileServing("'" + name + "' needs the window of vorelle2; ignored");
    } else {
        SayWhileServing("ignoring unknown message '" + name + "'");
    }
}

// Tells when the console comes and goes, on a thread of its own.
class ConnectionReport {
public:
    ConnectionReport(const LiveReadings& readings, const ConsoleLink& link)
        : feed_(readings, link), thread_([this](std::stop_token stop) { Run(stop); })
    {
    }

private:
    void Run(std::stop_token stop)
    {
        while (!stop.stop_requested()) {
            const std::optional<ReadingFeed::Event> event = feed_.Next(std::chrono::milliseconds(200));
            if (event && event->kind != ReadingFeed::EventKind::Reading)
                SayWhileServing(event->kind == ReadingFeed::EventKind::Connected ? "Connected" : "Unconnected");
        }
    }

    ReadingFeed feed_;
    std::jthread thread_;  // last: it starts once everything above is ready
};

// Tells how the history's catching up goes: each change of its state, its
// progress at most once a kProgressEvery, and a round that found nothing new
// not at all.
class CatchUpReport {
public:
    // On the poll or the merge thread.
    void Changed(const CatchUpState& state)
    {
        using Phase = CatchUpState::Phase;
        const auto now = std::chrono::steady_clock::now();
        const std::string text = CatchUpStatusText(state);
        std::lock_guard lock(mutex_);
        const bool listing = state.phase == Phase::CatchingUp && state.recordingsTotal == 0;
        const bool progress = state.phase == Phase::CatchingUp && said_ == Phase::CatchingUp;
        const bool stillUpToDate = state.phase == Phase::UpToDate && said_ == Phase::UpToDate;
        if (text.empty() || text == saidText_ || listing || stillUpToDate || (progress && now - saidAt_ < kProgressEvery))
            return;
        SayWhileServing(text);
        saidText_ = text;
        said_ = state.phase;
        saidAt_ = now;
    }

private:
    std::mutex mutex_;  // protects what was said last, and when
    std::string saidText_;
    CatchUpState::Phase said_ = CatchUpState::Phase::Waiting;
    std::chrono::steady_clock::time_point saidAt_;
};

int RunServe(const CommandCall& call)
{
    if (!call.Words().empty())
        return call.WrongLine("unknown option '" + call.Words().front() + "'");
    ConsoleChoice choice;
    if (const std::optional<std::string> problem = ReadConsoleChoice(call.Options(), {}, choice))
        return call.WrongLine(*problem);
    const std::filesystem::path dataFolder = PreparedDataFolder();
    MqttSettings publishing;
    if (const std::optional<std::string> problem = ReadPublishing(call.Options(), dataFolder, publishing))
        return call.WrongLine(*problem);

    int argc = 1;
    char name[] = "vorelle2-cli";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    // SIGTERM, SIGINT and SIGHUP end the service as the window's Quit ends
    // the program: its sockets and lock file go with it.
    EndSignals endSignals;
    QObject::connect(&endSignals, &EndSignals::Received, &application, &QCoreApplication::quit);
    InstanceChannel instance(InstanceChannel::Key());
    if (!instance.Claim()) {
        SayWhileServing("Vorelle 2 already runs on this data folder (" + dataFolder.string() +
                        "), with a window or as this service; it owns the console");
        return kExitFailed;
    }

    const std::unique_ptr<ConsoleDoor> console = MakeConsoleDoor(choice);
    ConsoleLink& link = console->Link();
    console->WatchDevices([&link](DeviceEvent event) { link.OnDeviceChange(event); });
    if (!link.Open())
        SayWhyNoConsole(link);
    // Publishing never holds the poll: the publisher queues the latest
    // reading for a thread of its own. It outlives the poll.
    std::unique_ptr<MqttPublisher> publisher;
    if (publishing.enabled)
        publisher = std::make_unique<MqttPublisher>(
            publishing, StationDevice(console->Kind() == ConsoleKind::Simulated),
            [](const PublisherStatus& status) { SayWhileServing(StatusText(status)); });
    // The history catches up between the poll's readings, as Main.ini's
    // [History] says; it outlives the poll.
    std::vector<std::string> problems;
    const CatchUpSettings catchUpSettings = ReadCatchUpSettingsFile(dataFolder / kConfigurationFile, problems);
    for (const std::string& problem : problems)
        SayWhileServing(problem);
    CatchUpReport catchUpReport;
    HistoryCatchUp catchUp(link, {.dataFolder = dataFolder,
                                  .dateOrder = DesktopDateOrder(),
                                  .settings = catchUpSettings,
                                  .stateChanged = [&] { catchUpReport.Changed(catchUp.State()); }});
    LiveReadings readings;
    SleepingBeat beat(kPollBeat);
    Poller poller(link, readings, beat, [] {});
    if (publisher) {
        poller.SetReadingListener([&publisher](const LiveReadings::Snapshot& snapshot) {
            publisher->Publish({snapshot, std::chrono::system_clock::now()});
        });
    }
    poller.SetBetweenPolls(&catchUp);
    poller.Start();
    ConsoleServer server(link, readings, poller.DialogOpen, console->Kind() == ConsoleKind::Simulated);
    const std::string socket = InstanceChannel::ConsoleSocket(InstanceChannel::Key());
    if (const std::optional<std::string> problem = server.Listen(socket)) {
        SayWhileServing("vorelle2-cli cannot reach the console through this service: " + *problem);
        link.Abandon();
        return kExitFailed;
    }
    const ConnectionReport report(readings, link);
    QObject::connect(&instance, &InstanceChannel::MessageReceived, &application,
                     [&console](const QString& message) { TakeMessage(*console, message.toStdString()); });
    QObject::connect(&instance, &InstanceChannel::JunkReceived, &application,
                     [](const QString& why) { SayWhileServing(why.toStdString()); });
    SayWhileServing(std::string("serving the ") + (console->Kind() == ConsoleKind::Simulated ? "simulated" : "USB") +
        " console of " + dataFolder.string() + (link.Connected() ? "" : " (Unconnected)"));
    application.exec();

    // An exchange in progress with a silent console gives up at once; the
    // poll and the clients end before the link does.
    link.Abandon();
    server.Stop();
    poller.Stop();
    console->StopWatchingDevices();
    return kExitDone;
}

}  // namespace

const CliCommand kServeCommand = {
    "serve",
    "[--simulate [--units T,P,W,R,L] [--channels N]\n[--clock TIME]] [--mqtt URL]",
    "own the console without a window (a PC without a desktop)",
    "Owns the console as the program does, without a window, until SIGTERM,\n"
    "SIGINT or SIGHUP: reads it about every nine seconds, lends it to the other\n"
    "commands of vorelle2-cli one at a time between its readings, publishes\n"
    "every reading over MQTT when --mqtt or Main.ini's [MQTT] says where, and\n"
    "keeps the history up to date from the console's card between its readings\n"
    "unless Main.ini's [History] says catch_up=false. Only one program owns the\n"
    "console of a data folder: while vorelle2 runs there, serve does not start,\n"
    "and the other way round. Of the messages of vorelle2 --send it takes plug\n"
    "and unplug (the simulated console's cable); the others need the window and\n"
    "are refused on standard error.",
    [] {
        std::vector<OptionSpec> options = SimulateOptions("serve the built-in simulated console instead of USB");
        options.push_back({"--mqtt", "URL",
                           "publish to the broker at\nmqtt://[USER[:PASSWORD]@]HOST[:PORT][/PREFIX] "
                           "(mqtts:// for\nTLS) instead of as Main.ini's [MQTT] says"});
        return options;
    }(),
    "VORELLE2_MQTT_PASSWORD, when set, is the broker's password, so that it need\n"
    "not appear on the command line; a password given in URL is hidden from ps\n"
    "at once. What happens (the console coming and going, the broker, the\n"
    "history's catching up) is told on standard error.",
    {{kExitDone, "ended by SIGTERM, SIGINT or SIGHUP"},
     {kExitFailed, "Vorelle 2 already runs on this data folder, or its console socket\ncannot be made"}},
    RunServe,
};

}  // namespace vorelle
