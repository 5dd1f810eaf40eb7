#include "app/Application.h"

#include "app/BoardView.h"
#include "owner/EndSignals.h"
#include "owner/InstanceChannel.h"
#include "app/MainWindow.h"
#include "app/StartupActions.h"
#include "store/DataFolder.h"

#include <QApplication>

#include <cstdio>

namespace vorelle {

Application::Application(ProgramOptions options) : options_(std::move(options)) {}

Application::~Application()
{
    // An exchange in progress with a silent console would hold the poll
    // thread for seconds; the program ends without waiting for it. The poll
    // thread talks to the link, so it ends before the link does.
    if (console_)
        console_->Link().Abandon();
    if (consoleServer_)
        consoleServer_->Stop();
    if (poller_)
        poller_->Stop();
}

std::filesystem::path Application::ShippedFolder()
{
    return ShippedFolderBeside(QCoreApplication::applicationDirPath().toStdString());
}

int Application::InitInstance()
{
    // Ended by a signal, the program quits as Quit does (an update that is
    // being written keeps its dialog open; a second signal ends it at once),
    // and the channel's socket and lock file go with it.
    endSignals_ = std::make_unique<EndSignals>();
    QObject::connect(endSignals_.get(), &EndSignals::Received, [] { QApplication::closeAllWindows(); });
    instance_ = std::make_unique<InstanceChannel>(InstanceChannel::Key());
    if (!instance_->Claim()) {
        QString ignored;
        InstanceChannel::Send(InstanceChannel::Key(), QString::fromLatin1(InstanceChannel::kActivateMessage), &ignored);
        if (options_.screenshotFile.isEmpty() && options_.dialogName.isEmpty())
            return 0;
        // The picture asked for cannot be made by this run; saying nothing
        // would pass for success.
        std::fprintf(stderr, "vorelle2: another Vorelle 2 runs on this data folder; it was brought to the front "
                             "and nothing else was done\n");
        return 1;
    }

    const std::filesystem::path dataFolder = WorkingDataFolder();
    PrepareDataFolder(ShippedFolder(), dataFolder);

    // A well-equipped station, so that every part of the board has something
    // to show.
    console_ = MakeConsoleDoor(options_.simulate ? ConsoleChoice{ConsoleKind::Simulated, ProgramStation()}
                                                 : ConsoleChoice{});
    ConsoleLink& link = console_->Link();
    beat_ = std::make_unique<SleepingBeat>(kPollBeat);
    poller_ = std::make_unique<Poller>(link, readings_, *beat_, [this] { window_->RequestRepaint(); });
    // From now on vorelle2-cli reaches the console through this program, and
    // never opens it itself: until the window has opened it, a command hears
    // that the console is not connected.
    consoleServer_ = std::make_unique<ConsoleServer>(link, readings_, poller_->DialogOpen,
                                                     console_->Kind() == ConsoleKind::Simulated);
    if (const std::optional<std::string> problem =
            consoleServer_->Listen(InstanceChannel::ConsoleSocket(InstanceChannel::Key())))
        std::fprintf(stderr, "vorelle2: vorelle2-cli cannot reach the console through this program: %s\n",
                     problem->c_str());

    window_ = std::make_unique<MainWindow>(
        MainWindow::Services{link, readings_, *poller_, messages_, dataFolder, *console_,
                             options_.simulate ? ConsoleKind::Simulated : ConsoleKind::Usb});
    messages_.SetParent(window_.get());
    QObject::connect(instance_.get(), &InstanceChannel::JunkReceived, window_.get(), [](const QString& why) {
        std::fprintf(stderr, "vorelle2: %s\n", qPrintable(why));
    });
    QObject::connect(instance_.get(), &InstanceChannel::MessageReceived, window_.get(), [this](const QString& name) {
        if (!window_->HandleOutsideMessage(name))
            std::fprintf(stderr, "vorelle2: ignoring unknown message '%s'\n", qPrintable(name));
    });
    window_->Initialise();
    window_->show();
    auto* actions = new StartupActions(*window_, options_.dialogName, options_.screenshotFile);
    actions->Start();
    return QApplication::exec();
}

}  // namespace vorelle
