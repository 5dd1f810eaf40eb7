#include "WindowFixture.h"
#include "app/AboutBox.h"
#include "app/BoardArt.h"
#include "app/BoardPainter.h"
#include "app/BoardView.h"
#include "app/CommandIds.h"
#include "app/MainWindow.h"
#include "recordings/CatchUpSettings.h"
#include "store/DataFolder.h"
#include "store/HistorySchema.h"
#include "support/HistoryTesting.h"
#include "support/LocalClock.h"
#include "support/MqttBroker.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QTimer>

#include <gtest/gtest.h>

namespace vorelle {
namespace {

using test::ProcessEvents;

class MainWindowTest : public test::WindowFixture {};

TEST_F(MainWindowTest, ChannelItemWidensTheBoardAndItsAbsenceNarrowsIt)
{
    TakeReading();
    EXPECT_EQ(window.Board().size(), QSize(620, 620));
    console.Weather().SetChannelCount(1);
    TakeReading();
    EXPECT_EQ(window.Board().size(), QSize(930, 650));
    EXPECT_GE(window.width(), 930);
    console.Weather().SetChannelCount(0);
    TakeReading();
    EXPECT_EQ(window.Board().size(), QSize(620, 620));
    EXPECT_LT(window.width(), 930);
}

TEST_F(MainWindowTest, StatusPaneFollowsTheConsoleButNotOtherDevices)
{
    EXPECT_EQ(window.ConnectionText(), "Connected");
    window.HandleOutsideMessage("unplug");
    ProcessEvents();
    EXPECT_EQ(window.ConnectionText(), "Unconnected");
    window.HandleOutsideMessage("plug");
    ProcessEvents();
    EXPECT_EQ(window.ConnectionText(), "Connected");

    transport.AddDevice("keyboard", 0x046D, 0xC31C);
    transport.Unplug("keyboard");
    ProcessEvents();
    EXPECT_EQ(window.ConnectionText(), "Connected");
    EXPECT_TRUE(link.Connected());
}

TEST_F(MainWindowTest, AConsoleThatCannotBeOpenedIsExplainedOnTheStatusPane)
{
    transport.RefuseOpening(SimTransport::kConsolePath, "Permission denied");
    window.HandleOutsideMessage("unplug");
    window.HandleOutsideMessage("plug");
    ProcessEvents();
    EXPECT_EQ(window.ConnectionText(), "Unconnected");
    const QString tip = window.findChild<QStatusBar*>()->findChildren<QLabel*>().last()->toolTip();
    EXPECT_TRUE(tip.contains(SimTransport::kConsolePath) && tip.contains("Permission denied") && tip.contains("udev"))
        << tip.toStdString();

    transport.RefuseOpening(SimTransport::kConsolePath, "");
    window.HandleOutsideMessage("unplug");
    window.HandleOutsideMessage("plug");
    ProcessEvents();
    EXPECT_EQ(window.ConnectionText(), "Connected");
}

TEST_F(MainWindowTest, OutsideResetAsksAndDeletesOnlyOnOk)
{
    temp.Write("W1.csv", "x");
    messages.answers = {MessageAnswer::Cancel};
    EXPECT_TRUE(window.HandleOutsideMessage("reset"));
    EXPECT_TRUE(std::filesystem::exists(temp.Path() / "W1.csv"));
    EXPECT_TRUE(console.ReceivedCommands(CMD_RESET.code).empty());

    bool menusWhileResetting = true;
    bool pollWhileResetting = true;
    QTimer::singleShot(1, &window, [&] {
        menusWhileResetting = window.menuBar()->isEnabled();
        pollWhileResetting = !poller.DialogOpen;
    });
    EXPECT_TRUE(window.HandleOutsideMessage("reset"));
    EXPECT_FALSE(menusWhileResetting) << "the window goes on, its menus off, while the console is reset";
    EXPECT_FALSE(pollWhileResetting) << "nor does the history fetch into the recordings it deletes";
    EXPECT_FALSE(std::filesystem::exists(temp.Path() / "W1.csv"));
    EXPECT_EQ(console.ReceivedCommands(CMD_RESET.code).size(), 1u);
    EXPECT_EQ(messages.Texts().back(), "Success");
}

TEST_F(MainWindowTest, FirmwareOfferAsksItsQuestion)
{
    messages.answers = {MessageAnswer::Cancel};
    EXPECT_FALSE(window.OfferFirmwareUpdate());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "An updated version firmware is available.Upgrade now?");
    EXPECT_EQ(messages.shown[0].caption, "Update Firmware");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Question);
    EXPECT_TRUE(messages.shown[0].cancelIsDefault);
}

TEST_F(MainWindowTest, UnknownOutsideMessageIsRefused)
{
    EXPECT_FALSE(window.HandleOutsideMessage("format-disk"));
}

TEST_F(MainWindowTest, TitleMenusAndTheirKeys)
{
    EXPECT_EQ(window.windowTitle(), "Vorelle 2");
    QStringList menus;
    for (QAction* action : window.menuBar()->actions()) {
        menus << QString(action->text()).remove(QLatin1Char('&'));
        EXPECT_FALSE(QKeySequence::mnemonic(action->text()).isEmpty()) << "no Alt key for " << action->text().toStdString();
    }
    EXPECT_EQ(menus, (QStringList{"Setup", "Recordings", "Help"}));

    QAction* quit = nullptr;
    for (QAction* action : window.actions())
        if (action->shortcut() == QKeySequence(QStringLiteral("Ctrl+Q")))
            quit = action;
    ASSERT_NE(quit, nullptr) << "Ctrl+Q quits";
    quit->trigger();
    EXPECT_FALSE(window.isVisible());
}

// With the console there the history catches up by itself between the
// readings, and says so, until Recordings > Keep History Up to Date is
// unchecked, which Main.ini remembers.
TEST_F(MainWindowTest, TheHistoryCatchesUpByItselfUntilSwitchedOff)
{
    const auto now = test::LocalClock(2026, 5, 12, 14, 5);
    console.SetClock([now] { return now; });
    ASSERT_TRUE(test::Eventually([&] { return window.HistoryStateText().startsWith("History up to date "); },
                                 [&] { TakeReading(); }))
        << window.HistoryStateText().toStdString();
    std::size_t lines = 0;
    for (const SimCardFile& file : console.Card().Files(now))
        lines += std::count(file.content->begin(), file.content->end(), '\n') - 1;  // less the header
    std::size_t held = 0;
    for (const RecordingLayout kind : kHistoryKinds)
        held += std::stoul(test::ExecuteRaw(temp.Path() / kHistoryFile, "SELECT count(*) FROM " + ReadingsTableName(kind)));
    EXPECT_EQ(held, lines);

    QAction* keep = nullptr;
    for (QAction* action : window.findChildren<QAction*>())
        if (action->data() == command_id::KeepHistory)
            keep = action;
    ASSERT_TRUE(keep && keep->isChecked());
    keep->trigger();
    ProcessEvents();
    EXPECT_EQ(window.HistoryStateText(), "");
    std::vector<std::string> problems;
    EXPECT_FALSE(ReadCatchUpSettingsFile(temp.Path() / kConfigurationFile, problems).enabled);
}

// The first picture comes first: the icon, painted at its six sizes, and the
// dialogs follow once it is on the screen.
TEST_F(MainWindowTest, IconAndDialogsComeOnceTheWindowIsOnTheScreen)
{
    EXPECT_TRUE(window.windowIcon().isNull());
    EXPECT_TRUE(window.findChildren<QDialog*>().isEmpty());
    ProcessEvents();
    EXPECT_EQ(window.windowIcon().availableSizes().size(), std::size(kAppIconSizes));
    EXPECT_FALSE(window.findChildren<QDialog*>().isEmpty());
}

QImage Render(const LiveReadings::Snapshot& readings)
{
    QImage image(BoardPictureSize(BoardSizeFor(readings)), QImage::Format_RGB32);
    QPainter painter(&image);
    PaintBoard(painter, readings);
    return image;
}

TEST(BoardPainterTest, ArrowIsDrawnOnlyWithADirection)
{
    LiveReadings readings;
    LiveReadings::Snapshot withWind = readings.Current();
    withWind.values.WindDir = 0;
    const QImage missing = Render(readings.Current());
    const QImage north = Render(withWind);
    // The shaft of an arrow pointing north, between the centre and the tip.
    bool differs = false;
    for (int y = 50; y < 100; ++y)
        differs = differs || missing.pixel(500, y) != north.pixel(500, y);
    EXPECT_TRUE(differs);
    EXPECT_EQ(north.pixel(500, 60), qRgb(255, 255, 255)) << "the arrow is filled white";
}

// On a screen of two device pixels to each of the board's, the picture is
// drawn at that resolution, not stretched: the plain sky and hills along the
// bottom still differ from one device pixel to the next.
TEST(BoardPainterTest, HiDpiScreensGetASharpPicture)
{
    LiveReadings readings;
    QImage image(BoardPictureSize(BoardSize::Narrow) * 2, QImage::Format_RGB32);
    image.setDevicePixelRatio(2);
    {
        QPainter painter(&image);
        PaintBoard(painter, readings.Current());
    }
    int blocksWithDetail = 0;
    for (int y = 1200; y < 1238; y += 2)
        for (int x = 0; x < 1238; x += 2)
            blocksWithDetail += image.pixel(x, y) != image.pixel(x + 1, y) || image.pixel(x, y) != image.pixel(x, y + 1);
    EXPECT_GT(blocksWithDetail, 100) << "every 2x2 block is one colour: the picture was stretched";
}

TEST(AboutBoxTest, CaptionTitleAndTheBuildsVersion)
{
    AboutBox about;
    EXPECT_EQ(about.windowTitle(), "ABout ");
    const QList<QLabel*> labels = about.findChildren<QLabel*>();
    QStringList texts;
    for (QLabel* label : labels)
        texts << label->text();
    EXPECT_TRUE(texts.contains("Vorelle 2_V1.1.2"));
    EXPECT_EQ(texts.filter("Version " VORELLE2_VERSION ", built ").size(), 1) << texts.join('|').toStdString();
}

}  // namespace
}  // namespace vorelle
