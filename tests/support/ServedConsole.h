#pragma once

#include "live/Poller.h"
#include "owner/ConsoleServer.h"
#include "support/CliRun.h"
#include "support/SimLinkFixture.h"
#include "support/SteppedBeat.h"
#include "support/TempFolder.h"

#include <unistd.h>

namespace vorelle::test {

// A program that owns the simulated console, here in the test: its poll,
// stepped by the test, and its console server, which vorelle2-cli run by
// Cli() reaches. A silent borrower loses the link after two seconds.
class ServedConsoleFixture : public SimLinkFixture {
protected:
    ServedConsoleFixture()
        : poller(link, readings, beat, [] {}), server(link, readings, poller.DialogOpen, true, Timing())
    {
    }

    static ConsoleServerTiming Timing()
    {
        ConsoleServerTiming timing;
        timing.quiet = std::chrono::seconds(2);
        return timing;
    }

    void SetUp() override
    {
        SimLinkFixture::SetUp();
        ASSERT_EQ(server.Listen(SocketPath()), std::nullopt);
        poller.Start();
        beat.AwaitStart();
    }

    void TearDown() override
    {
        link.Abandon();
        server.Stop();
        poller.Stop();
    }

    // Where vorelle2-cli looks with TMPDIR set to the folder and the default
    // data folder.
    std::string SocketPath() const
    {
        return (folder.Path() / ("Vorelle2-" + std::to_string(getuid()) + ".console")).string();
    }

    CliRun Cli(const std::string& arguments) const
    {
        return RunCli(arguments, true, "-u VORELLE2_DATA_DIR TMPDIR=" + folder.Path().string());
    }

    // The units-and-reading pairs the console has been asked for.
    std::size_t Pairs() const { return console.ReceivedCommands(CMD_READ_LIVE.code).size(); }

    TempFolder folder;
    LiveReadings readings;
    SteppedBeat beat;
    Poller poller;
    ConsoleServer server;
};

}  // namespace vorelle::test
