#pragma once

#include "app/MainWindow.h"
#include "console/SimulatedDoor.h"
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

// The main window on the simulated console, with a poll the test steps, its
// own data folder, and a message recorder in place of the message boxes (or
// real message boxes, for tests that answer them as a user does).
template <class MessagesType>
class WindowFixtureWith : public SimLinkFixture {
protected:
    WindowFixtureWith()
        : poller(link, readings, beat, [this] { window.RequestRepaint(); }),
          window({link, readings, poller, messages, temp.Path(), door})
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
    MessagesType messages;
    TempFolder temp;
    SimulatedDoor door{transport, link};
    Poller poller;
    MainWindow window;
};

using WindowFixture = WindowFixtureWith<MessageRecorder>;

}  // namespace vorelle::test
