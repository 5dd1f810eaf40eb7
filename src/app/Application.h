#pragma once

#include "console/ConsoleDoor.h"
#include "live/LiveReadings.h"
#include "live/Poller.h"
#include "widgets/MessageBoxes.h"

#include <QString>

#include <filesystem>
#include <memory>

namespace vorelle {

class EndSignals;
class MainWindow;
class InstanceChannel;

struct ProgramOptions {
    bool simulate = false;     // run on the simulated console
    QString dialogName;        // open this dialog once the window is up (see MainWindow::ShowDialog)
    QString screenshotFile;    // save the window (or that dialog) as a PNG once filled, then quit
};

// The application: one instance per user, its working folder, the link to the
// console, the poll thread and the main window.
class Application {
public:
    explicit Application(ProgramOptions options);
    ~Application();

    // Runs the program until its window closes; returns the exit status. A
    // second instance ends at once, silently.
    int InitInstance();

    // Where the files shipped with the program lie.
    static std::filesystem::path ShippedFolder();

private:
    ProgramOptions options_;
    std::unique_ptr<ConsoleDoor> console_;
    LiveReadings readings_;
    std::unique_ptr<SleepingBeat> beat_;
    std::unique_ptr<Poller> poller_;
    MessageBoxes messages_;
    std::unique_ptr<EndSignals> endSignals_;
    std::unique_ptr<InstanceChannel> instance_;
    std::unique_ptr<MainWindow> window_;
};

}  // namespace vorelle
