#include "support/CliRun.h"
#include "support/Eventually.h"
#include "support/HistoryTesting.h"
#include "support/RecordingGenerator.h"
#include "support/TempFolder.h"

#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <thread>

namespace vorelle {
namespace {

// The program as a station owner starts it, offscreen, on the simulated
// console, with its own data folder.
class ProgramTest : public ::testing::Test {
protected:
    // Without a display: from a text console, a script or a login over ssh.
    static constexpr bool kNoDisplay = false;

    QProcessEnvironment Environment(bool display = true) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(variable);
        if (display)
            environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("VORELLE2_DATA_DIR", QString::fromStdString(data.Path().string()));
        environment.insert("LC_ALL", "C.UTF-8");  // dates month first
        // The outside-message channel's socket and lock file are made here.
        std::filesystem::create_directories(temp);
        environment.insert("TMPDIR", QString::fromStdString(temp.string()));
        // Qt complains on standard error when a session has no private runtime folder.
        const std::filesystem::path runtime = data.Path() / "runtime";
        std::filesystem::create_directories(runtime);
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
        environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.string()));
        return environment;
    }

    void Start(QProcess& process, const QStringList& arguments, bool display = true) const
    {
        process.setProcessEnvironment(Environment(display));
        process.start(VORELLE2_PROGRAM, arguments);
        ASSERT_TRUE(process.waitForStarted());
    }

    // Runs the program to its end and returns its exit status.
    int Run(const QStringList& arguments, QByteArray* output = nullptr, bool display = true) const
    {
        QProcess process;
        Start(process, arguments, display);
        EXPECT_TRUE(process.waitForFinished(30000));
        if (output)
            *output = process.readAllStandardOutput() + process.readAllStandardError();
        return process.exitCode();
    }

    // Sends `name` to a program that is starting, once it answers.
    void SendOnceRunning(const QString& name) const
    {
        QByteArray output;
        int sent = 1;
        for (int attempt = 0; attempt < 100 && sent != 0; ++attempt) {
            sent = Run({"--send", name}, &output, kNoDisplay);
            if (sent != 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        EXPECT_EQ(sent, 0) << output.toStdString();
    }

    test::TempFolder data;
    const std::filesystem::path temp = data.Path() / "tmp";
};

TEST_F(ProgramTest, ScreenshotShowsTheBoardOnceTheFirstReadingIsDrawn)
{
    const QString file = QString::fromStdString((data.Path() / "board.png").string());
    ASSERT_EQ(Run({"--simulate", "--screenshot", file}), 0);
    const QImage shot(file);
    ASSERT_FALSE(shot.isNull());
    EXPECT_GE(shot.width(), 620);
    EXPECT_GE(shot.height(), 620);
    EXPECT_TRUE(std::filesystem::exists(data.Path() / "QM710.db")) << "the working folder was prepared";
    EXPECT_TRUE(std::filesystem::exists(data.Path() / "Main.ini"));
}

// Every dialog a name opens, filled from the simulated console and saved as
// a picture of its own size.
TEST_F(ProgramTest, ShowOpensEachNamedDialogAndSavesItsPicture)
{
    for (const char* name : {"basic-settings", "rainfall-totals", "max-min", "about", "graph", "history"}) {
        SCOPED_TRACE(name);
        const QString file = QString::fromStdString((data.Path() / (std::string(name) + ".png")).string());
        QByteArray output;
        ASSERT_EQ(Run({"--simulate", "--show", name, "--screenshot", file}, &output), 0) << output.toStdString();
        const QImage shot(file);
        ASSERT_FALSE(shot.isNull());
        EXPECT_TRUE(shot.width() < 900 || shot.height() < 600) << "the dialog, not the main window";
    }
    QByteArray output;
    EXPECT_EQ(Run({"--show", "settings"}, &output), 2);
    EXPECT_TRUE(output.contains("basic-settings")) << output.toStdString();
}

// The recordings dialog opened by name is pictured once the card is listed;
// without a picture asked for it stays open and the program goes on.
TEST_F(ProgramTest, ShowRecordingsListsTheCardAndTheProgramGoesOn)
{
    const QString file = QString::fromStdString((data.Path() / "recordings.png").string());
    QByteArray output;
    ASSERT_EQ(Run({"--simulate", "--show", "recordings", "--screenshot", file}, &output), 0) << output.toStdString();
    const QImage shot(file);
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.size(), QSize(917, 548)) << "the dialog, at its own size";

    QProcess program;
    Start(program, {"--simulate", "--show", "recordings"});
    SendOnceRunning("unplug");
    EXPECT_EQ(Run({"--send", "plug"}, &output), 0) << output.toStdString();
    EXPECT_EQ(program.state(), QProcess::Running);
    program.terminate();
    ASSERT_TRUE(program.waitForFinished(10000));
}

TEST_F(ProgramTest, SecondInstanceEndsSilentlyAndMessagesReachTheFirst)
{
    QProcess first;
    Start(first, {"--simulate"});
    SendOnceRunning("unplug");

    QByteArray secondOutput;
    EXPECT_EQ(Run({"--simulate"}, &secondOutput), 0);
    EXPECT_TRUE(secondOutput.isEmpty()) << secondOutput.toStdString();
    EXPECT_EQ(first.state(), QProcess::Running);

    // A run asked for a picture it cannot make must not pass for success.
    const QString file = QString::fromStdString((data.Path() / "never.png").string());
    EXPECT_EQ(Run({"--simulate", "--screenshot", file}, &secondOutput), 1);
    EXPECT_TRUE(secondOutput.contains("another Vorelle 2")) << secondOutput.toStdString();
    EXPECT_FALSE(std::filesystem::exists(file.toStdString()));
    EXPECT_EQ(first.state(), QProcess::Running);

    first.terminate();
    ASSERT_TRUE(first.waitForFinished(10000));
}

// The version is the build's own, in --version and in the shipped Main.ini.
TEST_F(ProgramTest, ShowsTheBuildsVersion)
{
    QByteArray output;
    EXPECT_EQ(Run({"--version"}, &output, kNoDisplay), 0);
    EXPECT_TRUE(output.startsWith("Vorelle2 " VORELLE2_VERSION "\n")) << output.toStdString();
    const std::filesystem::path shippedIni = std::filesystem::path(VORELLE2_PROGRAM).parent_path() / "Main.ini";
    EXPECT_NE(test::ReadWhole(shippedIni).find("\nVersion=" VORELLE2_VERSION "\n"), std::string::npos);
}

// `--plot` draws the stored recording without a window, and with --history
// the history; a request it cannot carry out says why and fails.
TEST_F(ProgramTest, PlotSavesTheGraphOfTheStoredRecordingOrTheHistory)
{
    test::RecordingShape shape;
    shape.lines = 3 * 1440;
    const std::filesystem::path recording = data.Write("20240101.csv", test::RecordingGenerator(shape).Text());
    const test::CliRun imported =
        test::RunCli("import " + recording.string(), true, "VORELLE2_DATA_DIR=" + data.Path().string());
    ASSERT_EQ(imported.status, 0) << imported.output;
    HistoryStore history = test::OpenHistory(data.Path() / kHistoryFile);
    ASSERT_TRUE(history.Merge(RecordingLayout::Main, test::GeneratedReadings({2024, 1, 1, 0, 0, 0}, 3 * 1440, 1, 2)));

    const QString file = QString::fromStdString((data.Path() / "rain.png").string());
    QByteArray output;
    // The stored daily rain in red; the history's outdoor temperature in green.
    const std::pair<QStringList, QColor> sources[] = {{{"Rain fall"}, QColor(255, 0, 0)},
                                                      {{"Temperature", "--history"}, QColor(0, 128, 0)}};
    for (const auto& [source, colour] : sources) {
        ASSERT_EQ(Run(QStringList{"--plot"} + source +
                          QStringList{"--from", "2024-01-01 0:00:00", "--to", "2024-01-04 0:00:00", "--png", file,
                                      "--size", "800x400"},
                      &output),
                  0)
            << output.toStdString();
        const QImage picture(file);
        ASSERT_EQ(picture.size(), QSize(800, 400));
        int drawn = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                drawn += picture.pixelColor(x, y) == colour;
        EXPECT_GT(drawn, 500) << source.join(' ').toStdString();
    }

    struct Case {
        QStringList arguments;
        int status;
        const char* says;
        bool alsoFromHistory = true;
    };
    const QString none = QString::fromStdString((data.Path() / "no-folder" / "x.png").string());
    const Case cases[] = {
        {{"--plot", "Rain", "--from", "2024-01-01 0:00:00", "--to", "2024-01-02 0:00:00", "--png", file}, 2,
         "unknown quantity 'Rain'"},
        {{"--plot", "Wind", "--from", "yesterday", "--to", "2024-01-02 0:00:00", "--png", file}, 2,
         "'yesterday' is not a date and time"},
        // A date with the year last is read in the desktop's order, as the import reads it: month first here.
        {{"--plot", "Wind", "--from", "13/01/2024", "--to", "2024-01-02 0:00:00", "--png", file}, 2,
         "'13/01/2024' is not a date and time"},
        {{"--plot", "Wind", "--from", "2024-01-02 0:00:00", "--to", "2024-01-01 0:00:00", "--png", file}, 2,
         "Time Error."},
        {{"--plot", "Soil moisture", "--from", "2024-01-01 0:00:00", "--to", "2024-01-02 0:00:00", "--png", file}, 2,
         "has no 'Soil moisture'", false},
        {{"--plot", "Wind", "--from", "2024-01-01 0:00:00", "--to", "2024-01-02 0:00:00", "--png", file, "--size",
          "0x10"},
         2, "'0x10' is not a size"},
        {{"--plot", "Wind", "--from", "2024-01-01 0:00:00", "--to", "2024-01-02 0:00:00", "--png", none}, 1,
         "cannot write"},
    };
    for (const Case& c : cases) {
        for (const QStringList& source : {QStringList{}, QStringList{"--history"}}) {
            if (!source.isEmpty() && !c.alsoFromHistory)
                continue;
            EXPECT_EQ(Run(c.arguments + source, &output), c.status) << c.says << source.join(' ').toStdString();
            EXPECT_TRUE(output.contains(c.says)) << output.toStdString();
        }
    }
    EXPECT_EQ(QImage(file).size(), QSize(800, 400)) << "a failed run leaves the earlier picture";
}

// While the program runs it owns the console: `live` is its reading (though
// no --simulate is asked), and `live --follow` follows its polls through a
// pulled cable until SIGTERM.
TEST_F(ProgramTest, TheRunningProgramServesLiveAndFollow)
{
    QProcess program;
    Start(program, {"--simulate"});
    SendOnceRunning("plug");
    const std::string environment = "VORELLE2_DATA_DIR=" + data.Path().string() + " TMPDIR=" + temp.string();
    // The program takes messages a moment before its console is open.
    test::CliRun live;
    EXPECT_TRUE(test::Eventually([&] { return (live = test::RunCli("live --json", true, environment)).status == 0; }))
        << live.output;
    EXPECT_NE(live.output.find("\"console\": \"simulated\""), std::string::npos) << live.output;

    QProcess follow;
    follow.setProcessEnvironment(Environment(kNoDisplay));
    follow.start(VORELLE2_CLI, {"live", "--follow", "--json"});
    const auto nextLine = [&follow] {
        while (!follow.canReadLine() && follow.waitForReadyRead(30000)) {
        }
        return follow.readLine().toStdString();
    };
    EXPECT_NE(nextLine().find("\"quantities\": {"), std::string::npos);
    SendOnceRunning("unplug");
    EXPECT_NE(nextLine().find("\"status\": \"Unconnected\""), std::string::npos);
    SendOnceRunning("plug");
    EXPECT_NE(nextLine().find("\"status\": \"Connected\""), std::string::npos);
    EXPECT_NE(nextLine().find("\"quantities\": {"), std::string::npos) << "the stream goes on";
    follow.terminate();
    ASSERT_TRUE(follow.waitForFinished(10000));
    EXPECT_EQ(follow.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(follow.exitCode(), 0) << follow.readAllStandardError().toStdString();
    program.terminate();
    ASSERT_TRUE(program.waitForFinished(10000));
}

TEST_F(ProgramTest, SendWithoutARunningProgramSaysSo)
{
    QByteArray output;
    EXPECT_EQ(Run({"--send", "plug"}, &output, kNoDisplay), 1);
    EXPECT_TRUE(output.contains("not running")) << output.toStdString();
    EXPECT_EQ(Run({"--send", "format-disk"}, &output, kNoDisplay), 2);
}

// Only what opens a window needs a display; without one it says so.
TEST_F(ProgramTest, WithoutADisplayOnlyTheWindowIsRefused)
{
    QByteArray output;
    EXPECT_EQ(Run({"--help"}, &output, kNoDisplay), 0);
    EXPECT_TRUE(output.contains("--send <NAME>")) << output.toStdString();
    EXPECT_EQ(Run({"--simulate"}, &output, kNoDisplay), 1);
    EXPECT_TRUE(output.startsWith("vorelle2: no display") && output.count('\n') == 1) << output.toStdString();
}

// Ended by a signal, the program quits as Quit does, and leaves neither its
// socket nor its lock file behind.
TEST_F(ProgramTest, EndSignalsQuitAndLeaveNothingBehind)
{
    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signalNumber);
        QProcess program;
        Start(program, {"--simulate"});
        SendOnceRunning("unplug");
        ::kill(static_cast<pid_t>(program.processId()), signalNumber);
        ASSERT_TRUE(program.waitForFinished(10000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
        EXPECT_TRUE(std::filesystem::is_empty(temp));
    }
}

}  // namespace
}  // namespace vorelle
