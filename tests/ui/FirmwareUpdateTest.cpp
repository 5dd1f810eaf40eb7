#include "DialogTestSupport.h"
#include "WindowFixture.h"
#include "firmware/FirmwareTestSupport.h"
#include "firmware/FirmwareUpdateDialog.h"
#include "firmware/UpdateServer.h"
#include "support/TestWebServer.h"
#include "widgets/ControlIds.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>

namespace vorelle {
namespace {

using test::ById;
using test::SpinUntil;
using test::WithDialog;
using test::TestWebServer;
using Delivery = TestWebServer::Delivery;
namespace firmware_id = control_id::firmware_update;

constexpr qsizetype kCap = 8 * 1024 * 1024;

const std::string kDownloadFail = "Update";

// The main window on the simulated console, an update server on this
// machine serving a firmware of a thousand bytes, and the firmware dialog.
class FirmwareDialogTest : public test::WindowFixture {
protected:
    FirmwareDialogTest() : image(test::MakeFirmwareImage(1000)), files(FirmwareFiles::In(temp.Path()))
    {
        server.Serve("good", {200, QByteArray::fromStdString(test::FirmwareHex(image))});
    }

    void SetUp() override
    {
        test::WindowFixture::SetUp();
        transport.SetPlugListener([this](DeviceEvent event) {
            QMetaObject::invokeMethod(&window, [this, event] { window.OnDeviceChange(event); }, Qt::QueuedConnection);
        });
        UseServer(server.Address("good"));
    }

    void TearDown() override
    {
        qunsetenv("VORELLE2_UPDATE_SERVER");
        test::WindowFixture::TearDown();
    }

    void UseServer(const QString& address) { qputenv("VORELLE2_UPDATE_SERVER", address.toUtf8()); }

    // The offer accepted, with the main window's firmware dialog open.
    void WithOfferAccepted(const std::function<void()>& inside)
    {
        messages.answers = {MessageAnswer::Ok};
        EXPECT_TRUE(WithDialog(Dialog(), [this] { EXPECT_TRUE(window.OfferFirmwareUpdate()); }, inside));
    }

    FirmwareUpdateDialog& Dialog() { return window.FirmwareUpdate(); }
    QString Status(QDialog& dialog) { return ById<QLabel>(dialog, firmware_id::Status)->text(); }

    // Messages shown since the offer's question.
    std::vector<std::string> Answers() const
    {
        std::vector<std::string> texts = messages.Texts();
        std::erase(texts, "An updated version firmware is available.Upgrade now?");
        return texts;
    }

    // The download ended, with the file ready or with a message.
    bool DownloadEnded(QDialog& dialog)
    {
        return !Answers().empty() || Status(dialog) == "Download Firmware Success.";
    }

    bool ButtonsEnabled(QDialog& dialog)
    {
        return ById<QPushButton>(dialog, firmware_id::UpdateButton)->isEnabled() &&
               ById<QPushButton>(dialog, firmware_id::CancelButton)->isEnabled();
    }

    // Any working file of the update, finished or not.
    bool AnyWorkingFile() const
    {
        for (const auto& entry : std::filesystem::directory_iterator(temp.Path()))
            if (entry.path().filename().string().rfind("Tempbin", 0) == 0)
                return true;
        return false;
    }

    bool FlashHoldsImage()
    {
        const std::vector<std::uint8_t> flash = console.Bootloader().Flash();
        return std::equal(image.begin() + kBootloaderBytes, image.end(), flash.begin() + kBootloaderBytes);
    }

    std::vector<std::uint8_t> image;
    FirmwareFiles files;
    TestWebServer server;
};

enum class Expect { Ready, DownloadFail, Unusable };

struct ServerCase {
    const char* name;
    TestWebServer::Answer answer;
    Expect expect;
    std::string reason;  // for Unusable
};

void PrintTo(const ServerCase& c, std::ostream* os) { *os << c.name; }

QByteArray GoodHex() { return QByteArray::fromStdString(test::FirmwareHex(test::MakeFirmwareImage(1000))); }
QByteArray CutHex() { return QByteArray::fromStdString(test::WithoutEndRecord(GoodHex().toStdString())); }

class FirmwareServerTest : public FirmwareDialogTest, public ::testing::WithParamInterface<ServerCase> {
protected:
    FirmwareServerTest() : dialog(link, messages, temp.Path(), DownloadLimits{std::chrono::milliseconds(1000), kCap})
    {
    }

    FirmwareUpdateDialog dialog;
};

// Whatever the server does, Update becomes usable only with a sound image;
// any other end says why, leaves no file, and Update then has none to send.
TEST_P(FirmwareServerTest, OnlyASoundImageMakesUpdateUsable)
{
    server.Serve("case", GetParam().answer);
    UseServer(server.Address("case"));

    const bool acted = WithDialog(dialog, [&] { dialog.Run(true); }, [&] {
        ASSERT_TRUE(SpinUntil([&] { return DownloadEnded(dialog); }));
        if (GetParam().expect == Expect::Ready) {
            EXPECT_TRUE(messages.shown.empty());
            EXPECT_EQ(ById<QLineEdit>(dialog, firmware_id::UpdateFile)->text().toStdString(), files.hex.string());
            EXPECT_TRUE(std::filesystem::exists(files.hex));
            EXPECT_TRUE(std::filesystem::exists(files.image));
            EXPECT_EQ(ById<QProgressBar>(dialog, firmware_id::Progress)->value(), 100);
            return;
        }
        ASSERT_EQ(messages.shown.size(), 1u);
        if (GetParam().expect == Expect::DownloadFail) {
            EXPECT_EQ(messages.shown[0].text, "Update");
            EXPECT_EQ(messages.shown[0].caption, "Download Fail");
        } else {
            EXPECT_EQ(messages.shown[0].text, "The downloaded firmware cannot be used: " + GetParam().reason + ".");
        }
        EXPECT_FALSE(AnyWorkingFile());
        ById<QPushButton>(dialog, firmware_id::UpdateButton)->click();
        EXPECT_EQ(messages.Texts().back(), "No Update File.");
    });
    EXPECT_TRUE(acted);
    EXPECT_TRUE(console.ReceivedCommands(CMD_ENTER_BOOT.code).empty());
}

QByteArray Html() { return "<!DOCTYPE html><html><body><h1>Firmware</h1></body></html>"; }

QByteArray DamagedHex()
{
    QByteArray hex = GoodHex();
    hex[hex.indexOf("\r\n", hex.indexOf("\r\n") + 2) - 1] ^= 1;
    return hex;
}

INSTANTIATE_TEST_SUITE_P(
    Answers, FirmwareServerTest,
    ::testing::Values(
        ServerCase{"GoodHex", {200, GoodHex()}, Expect::Ready, {}},
        ServerCase{"ChunkedWithoutLength", {200, GoodHex(), Delivery::Chunked}, Expect::Ready, {}},
        ServerCase{"Redirected", {302, {}, Delivery::Whole, "/good/upload/update_firm/M402/M402Firmware.txt"},
                   Expect::Ready, {}},
        ServerCase{"RedirectedAwayFromTheWeb", {302, {}, Delivery::Whole, "ftp://127.0.0.1/firmware.hex"},
                   Expect::DownloadFail, {}},
        ServerCase{"BadChecksum", {200, DamagedHex()}, Expect::Unusable,
                   "a record's checksum does not match: the file is damaged (converter result 5)"},
        ServerCase{"HtmlPageWithStatus200", {200, Html(), Delivery::Whole, {}, "text/html"}, Expect::Unusable,
                   "not a HEX firmware file: it is empty, a line does not start with ':', or it holds no data "
                   "(converter result 1)"},
        ServerCase{"BootloaderOnly",
                   {200, QByteArray::fromStdString(test::FirmwareHex(test::MakeFirmwareImage(0)))},
                   Expect::Unusable,
                   "its image is 12288 bytes, no longer than the bootloader's own 12288, so it holds no firmware "
                   "(converter result 0)"},
        ServerCase{"NotFound", {404, Html()}, Expect::DownloadFail, {}},
        ServerCase{"ServerError", {500, Html()}, Expect::DownloadFail, {}},
        ServerCase{"CutOff", {200, GoodHex(), Delivery::CutOff}, Expect::DownloadFail, {}},
        ServerCase{"CutAtALineEndWithoutLength", {200, CutHex(), Delivery::UntilClose}, Expect::Unusable,
                   "it does not end with its end-of-file record (type 01), so it may have been cut short (converter "
                   "result 0)"},
        ServerCase{"Stalled", {200, GoodHex(), Delivery::Stall}, Expect::DownloadFail, {}},
        ServerCase{"AtTheSizeCap", {200, QByteArray(kCap, 'x')}, Expect::Unusable,
                   "not a HEX firmware file: it is empty, a line does not start with ':', or it holds no data "
                   "(converter result 1)"},
        ServerCase{"OverTheSizeCap", {200, QByteArray(kCap + 1, 'x')}, Expect::DownloadFail, {}},
        ServerCase{"OverTheSizeCapWithoutLength", {200, QByteArray(kCap + 1, 'x'), Delivery::Chunked},
                   Expect::DownloadFail, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FirmwareDialogTest, WithoutAServerTheDownloadFailsAsWithoutNetwork)
{
    for (const QString& setting : {QString(), QStringLiteral("ftp://127.0.0.1/"), QStringLiteral("127.0.0.1")}) {
        messages.shown.clear();
        UseServer(setting);
        const bool acted = WithDialog(Dialog(), [&] { Dialog().Run(true); }, [&] {
            ASSERT_TRUE(SpinUntil([&] { return DownloadEnded(Dialog()); })) << setting.toStdString();
            EXPECT_EQ(messages.Texts(), (std::vector<std::string>{kDownloadFail}));
        });
        EXPECT_TRUE(acted);
    }
    EXPECT_EQ(server.Requests(), 0);
}

TEST_F(FirmwareDialogTest, CancelAtTheQuestionMakesNoRequest)
{
    messages.answers = {MessageAnswer::Cancel};
    EXPECT_FALSE(window.OfferFirmwareUpdate());
    SpinUntil([] { return false; }, 100);
    EXPECT_EQ(server.Requests(), 0);
    EXPECT_FALSE(Dialog().isVisible());
    EXPECT_FALSE(poller.DialogOpen);
}

// Each opening deletes what the last one left and asks the server again.
TEST_F(FirmwareDialogTest, EachOpeningRequestsAfreshFromDeletedFiles)
{
    std::vector<bool> filesAtRequest;
    server.onRequest = [&](const QByteArray&) { filesAtRequest.push_back(AnyWorkingFile()); };
    for (int opening = 0; opening < 2; ++opening) {
        WithOfferAccepted([&] { ASSERT_TRUE(SpinUntil([&] { return DownloadEnded(Dialog()); })); });
        EXPECT_TRUE(std::filesystem::exists(files.image)) << "kept until the next opening";
    }
    EXPECT_EQ(server.Requests(), 2);
    EXPECT_EQ(filesAtRequest, (std::vector<bool>{false, false}));
}

// The offer accepted, the served firmware reaches the console's flash; while
// the console is in its bootloader nothing closes the dialog and polling
// stays paused.
TEST_F(FirmwareDialogTest, AcceptedOfferWritesTheServedFirmwareIntoTheConsole)
{
    WithOfferAccepted([&] {
        FirmwareUpdateDialog& dialog = Dialog();
        ASSERT_TRUE(SpinUntil([&] { return DownloadEnded(dialog); }));
        ASSERT_TRUE(Answers().empty());
        EXPECT_TRUE(poller.DialogOpen);
        ById<QPushButton>(dialog, firmware_id::UpdateButton)->click();
        EXPECT_FALSE(ButtonsEnabled(dialog));
        ASSERT_TRUE(SpinUntil([&] { return console.InBootloader(); }));

        dialog.reject();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&dialog, &escape);
        dialog.close();
        EXPECT_TRUE(dialog.isVisible()) << "Cancel, Esc and closing wait for the update to end";
        EXPECT_TRUE(poller.DialogOpen);

        ASSERT_TRUE(SpinUntil([&] { return !Answers().empty(); }));
        EXPECT_EQ(Answers(), (std::vector<std::string>{"Update Success!"}));
        EXPECT_EQ(Status(dialog), "OK");
        EXPECT_TRUE(ButtonsEnabled(dialog));
        EXPECT_TRUE(FlashHoldsImage());
        EXPECT_FALSE(AnyWorkingFile());
        ById<QPushButton>(dialog, firmware_id::UpdateButton)->click();
        EXPECT_EQ(messages.Texts().back(), "No Update File.") << "the files went with the update";
    });
    EXPECT_FALSE(poller.DialogOpen);
    EXPECT_FALSE(console.InBootloader());
}

struct FailureCase {
    const char* name;
    std::atomic<int> SimBootloaderFaults::*knob;
    int k;
    std::string message;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class FirmwareFailureTest : public FirmwareDialogTest, public ::testing::WithParamInterface<FailureCase> {};

// A failed update says so, shows no success, leaves both buttons usable and
// the files in place, and Update tries again once the trouble is gone.
TEST_P(FirmwareFailureTest, SaysWhyAndLetsTheOwnerTryAgain)
{
    std::atomic<int>& knob = console.Bootloader().Faults().*GetParam().knob;
    knob = GetParam().k;
    WithOfferAccepted([&] {
        FirmwareUpdateDialog& dialog = Dialog();
        ASSERT_TRUE(SpinUntil([&] { return DownloadEnded(dialog); }));
        ById<QPushButton>(dialog, firmware_id::UpdateButton)->click();
        ASSERT_TRUE(SpinUntil([&] { return !Answers().empty(); }));
        EXPECT_EQ(Answers(), (std::vector<std::string>{GetParam().message}));
        EXPECT_TRUE(ButtonsEnabled(dialog));
        EXPECT_TRUE(std::filesystem::exists(files.image));
        EXPECT_TRUE(console.ReceivedCommands(CMD_RUN_APP.code).empty());

        knob = 0;
        transport.Plug();
        ASSERT_TRUE(SpinUntil([&] { return window.ConnectionText() == "Connected"; }));
        ById<QPushButton>(dialog, firmware_id::UpdateButton)->click();
        ASSERT_TRUE(SpinUntil([&] { return Answers().size() == 2; }));
        EXPECT_EQ(Answers().back(), "Update Success!");
        EXPECT_TRUE(FlashHoldsImage());
    });
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FirmwareFailureTest,
    ::testing::Values(FailureCase{"ReadBackDiffers", &SimBootloaderFaults::corruptWrite, 4,
                                  "Update failed: the console's memory does not match the image. Press Update to try "
                                  "again."},
                      FailureCase{"ConsoleUnplugged", &SimBootloaderFaults::unplugAfter, 7,
                                  "Update failed: the connection to the console was lost. Press Update to try "
                                  "again."}),
    [](const auto& info) { return std::string(info.param.name); });

struct LeaveCase {
    const char* name;
    std::function<void(QDialog&)> leave;
};

void PrintTo(const LeaveCase& c, std::ostream* os) { *os << c.name; }

class FirmwareLeaveTest : public FirmwareDialogTest, public ::testing::WithParamInterface<LeaveCase> {};

// Leaving during the download stops it and leaves no file behind, not even
// the part already fetched.
TEST_P(FirmwareLeaveTest, DuringTheDownloadStopsItAndLeavesNoFile)
{
    server.Serve("slow", {200, GoodHex(), Delivery::Stall});
    UseServer(server.Address("slow"));
    WithOfferAccepted([&] {
        FirmwareUpdateDialog& dialog = Dialog();
        ASSERT_TRUE(SpinUntil([&] { return Status(dialog).startsWith("Download......"); }));
        EXPECT_EQ(server.OpenConnections(), 1);
        GetParam().leave(dialog);
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_TRUE(SpinUntil([&] { return server.OpenConnections() == 0; })) << "the transfer stopped";
    EXPECT_FALSE(AnyWorkingFile());
    EXPECT_TRUE(Answers().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Ways, FirmwareLeaveTest,
    ::testing::Values(LeaveCase{"Cancel",
                                [](QDialog& d) { ById<QPushButton>(d, firmware_id::CancelButton)->click(); }},
                      LeaveCase{"Escape",
                                [](QDialog& d) {
                                    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                                    QApplication::sendEvent(&d, &escape);
                                }},
                      LeaveCase{"Close", [](QDialog& d) { d.close(); }}),
    [](const auto& info) { return std::string(info.param.name); });

struct DownloadCase {
    const char* name;
    TestWebServer::Answer answer;
    FirmwareDownload::Outcome outcome;
    std::optional<qint64> total;  // what every progress report carries; none: no report at all
    QString why;                  // a part of the reason for a failure
};

void PrintTo(const DownloadCase& c, std::ostream* os) { *os << c.name; }

class FirmwareDownloadTest : public FirmwareDialogTest, public ::testing::WithParamInterface<DownloadCase> {};

// Progress comes from the reply's own total, and only from a reply that
// carries the file; the whole download has a time bound; no reason shows the
// password in the server's address.
TEST_P(FirmwareDownloadTest, ReportsOnlyWhatTheServerSaysAndHidesItsPassword)
{
    server.Serve("case", GetParam().answer);
    FirmwareDownload download(DownloadLimits{std::chrono::milliseconds(1000), kCap, std::chrono::milliseconds(2500)});
    std::vector<qint64> totals;
    std::optional<std::pair<FirmwareDownload::Outcome, QString>> end;
    QObject::connect(&download, &FirmwareDownload::Progress, [&](qint64, qint64 total) { totals.push_back(total); });
    QObject::connect(&download, &FirmwareDownload::Finished, [&](auto outcome, QString why) { end = {outcome, why}; });
    download.Start(FirmwareUrl(server.Address("case").replace("://", "://user:secret@")),
                   QString::fromStdString(files.hex.string()));
    ASSERT_TRUE(SpinUntil([&] { return end.has_value(); }));
    EXPECT_EQ(end->first, GetParam().outcome);
    EXPECT_TRUE(end->second.contains(GetParam().why) && !end->second.contains("secret")) << end->second.toStdString();
    EXPECT_EQ(totals.empty(), !GetParam().total.has_value());
    EXPECT_TRUE(std::all_of(totals.begin(), totals.end(), [&](qint64 total) { return total == GetParam().total; }))
        << ::testing::PrintToString(totals);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, FirmwareDownloadTest,
    ::testing::Values(
        DownloadCase{"WithLength", {200, GoodHex()}, FirmwareDownload::Outcome::Saved, GoodHex().size(), {}},
        DownloadCase{"Chunked", {200, GoodHex(), Delivery::Chunked}, FirmwareDownload::Outcome::Saved, -1, {}},
        DownloadCase{"NotFound", {404, Html()}, FirmwareDownload::Outcome::Failed, std::nullopt,
                     "http://127.0.0.1:"},
        DownloadCase{"Trickled", {200, GoodHex(), Delivery::Trickle}, FirmwareDownload::Outcome::Failed,
                     GoodHex().size(), "the download did not end within 2.5 seconds"}),
    [](const auto& info) { return std::string(info.param.name); });

struct UrlCase {
    const char* setting;
    const char* url;  // empty: none
};

class FirmwareUrlTest : public ::testing::TestWithParam<UrlCase> {};

// The firmware's place under the update server; only an http or https server
// without a query leads anywhere.
TEST_P(FirmwareUrlTest, PutsTheFirmwarePathUnderAWebServer)
{
    EXPECT_EQ(FirmwareUrl(QString::fromUtf8(GetParam().setting)).toString().toStdString(), GetParam().url);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, FirmwareUrlTest,
    ::testing::Values(UrlCase{"", ""}, UrlCase{"updates.example.com", ""}, UrlCase{"ftp://example.com", ""},
                      UrlCase{"http://example.com?x=1", ""}, UrlCase{"file:///tmp", ""},
                      UrlCase{"http://example.com", "http://example.com/upload/update_firm/M402/M402Firmware.txt"},
                      UrlCase{" https://example.com:8443/base/ ",
                              "https://example.com:8443/base/upload/update_firm/M402/M402Firmware.txt"}));

struct CliDownloadCase {
    const char* name;
    TestWebServer::Answer answer;
    QStringList options;
    int status;
    QByteArray says;
};

void PrintTo(const CliDownloadCase& c, std::ostream* os) { *os << c.name; }

class CliDownloadTest : public FirmwareDialogTest, public ::testing::WithParamInterface<CliDownloadCase> {};

// The command line fetches, checks and writes the firmware the same way, and
// never shows the password in the server's address.
TEST_P(CliDownloadTest, FetchesChecksAndWritesAsTheDialogDoes)
{
    server.Serve("case", GetParam().answer);
    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VORELLE2_UPDATE_SERVER", server.Address("case").replace("://", "://user:secret@"));
    cli.setProcessEnvironment(environment);
    cli.setProcessChannelMode(QProcess::MergedChannels);
    cli.start(VORELLE2_CLI, QStringList{"firmware", "--download", "--simulate"} + GetParam().options);
    ASSERT_TRUE(cli.waitForStarted());
    ASSERT_TRUE(SpinUntil([&] { return cli.state() == QProcess::NotRunning; }, 30000));
    const QByteArray output = cli.readAll();
    EXPECT_EQ(cli.exitCode(), GetParam().status) << output.toStdString();
    EXPECT_TRUE(output.contains(GetParam().says)) << output.toStdString();
    EXPECT_FALSE(output.contains("secret")) << output.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Runs, CliDownloadTest,
    ::testing::Values(
        CliDownloadCase{"Verified", {200, GoodHex()}, {"--yes"}, 0, "Update Success!"},
        CliDownloadCase{"WithoutYes", {200, GoodHex()}, {}, 0, "Would download http://127.0.0.1:"},
        CliDownloadCase{"CutAtALineEndWithoutLength", {200, CutHex(), Delivery::UntilClose}, {"--yes"}, 2,
                        "it does not end with its end-of-file record"},
        CliDownloadCase{"NotFound", {404, Html()}, {"--yes"}, 3, "Download Fail: "}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorelle
