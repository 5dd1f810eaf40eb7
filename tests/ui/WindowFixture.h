#pragma once

#include "app/MainWindow.h"
#include "support/MessageRecorder.h"
#include "support/SimLinkFixture.h"
#include "support/SteppedBeat.h"
#include "support/TempFolder.h"

#include <QApplication>

namespace vorelle::test {

inline void ProcessEvents()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// The main window on the simulated console, with a poll the test steps, a
// message recorder in place of the message boxes and its own data folder.
class WindowFixture : public SimLinkFixture {
protected:
    WindowFixture()
        : poller(link, readings, beat, [this] { window.RequestRepaint(); }),
          window({link, readings, poller, messages, temp.Path(), &transport})
    {
    }

    void SetUp() override
    {
        // The window opens the console itself.
        window.Initialise();
        window.show();
        beat.AwaitStart();
    }

    void TearDown() override { poller.Stop(); }

    // Lets the poll thread take one reading and the window draw it.
    void TakeReading()
    {
        beat.Advance(10);
        ProcessEvents();
    }

    LiveReadings readings;
    SteppedBeat beat;
    MessageRecorder messages;
    TempFolder temp;
    Poller poller;
    MainWindow window;
};

}  // namespace vorelle::test
