#include "DialogTestSupport.h"
#include "WindowFixture.h"
#include "owner/InstanceChannel.h"
#include "support/NamedCase.h"
#include "widgets/MessageBoxes.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLocalSocket>
#include <QMessageBox>

#include <gtest/gtest.h>

#include <unistd.h>

namespace vorelle {
namespace {

using test::ModalAnswerer;
using test::ProcessEvents;
using test::SpinUntil;

QString UniqueKey()
{
    static int count = 0;
    return QStringLiteral("vorelle2-test-%1-%2").arg(getpid()).arg(++count);
}

struct SendCase : test::NamedCase {
    const char* message;
    QMessageBox::StandardButton answer;
};

// Each message from outside, answered with OK and with Cancel through real
// message boxes; the program goes on and answers the next message.
class OutsideMessagesTest : public test::WindowFixtureWith<MessageBoxes>,
                            public ::testing::WithParamInterface<SendCase> {
protected:
    void SetUp() override
    {
        WindowFixtureWith::SetUp();
        messages.SetParent(&window);
        ASSERT_TRUE(channel.Claim());
        QObject::connect(&channel, &InstanceChannel::MessageReceived, &window,
                         [this](const QString& name) { window.HandleOutsideMessage(name); });
    }

    void Send(const QString& name)
    {
        QString error;
        ASSERT_TRUE(InstanceChannel::Send(key, name, &error)) << error.toStdString();
    }

    const QString key = UniqueKey();
    InstanceChannel channel{key};
};

TEST_P(OutsideMessagesTest, AnsweredBoxesLeaveTheProgramRunningAndListening)
{
    temp.Write("W2026.csv", "x");
    ModalAnswerer answerer(GetParam().answer);
    Send(QString::fromLatin1(GetParam().message));
    EXPECT_TRUE(SpinUntil([&] { return answerer.answered > 0 && !QApplication::activeModalWidget(); }));
    ProcessEvents();

    Send(QStringLiteral("unplug"));
    EXPECT_TRUE(SpinUntil([&] { return window.ConnectionText() == "Unconnected"; }));
}

INSTANTIATE_TEST_SUITE_P(
    EveryName, OutsideMessagesTest,
    ::testing::Values(SendCase{"resetOk", "reset", QMessageBox::Ok},
                      SendCase{"resetCancel", "reset", QMessageBox::Cancel},
                      SendCase{"firmwareofferOk", "firmware-offer", QMessageBox::Ok},
                      SendCase{"firmwareofferCancel", "firmware-offer", QMessageBox::Cancel},
                      SendCase{"webserverOk", "web-server", QMessageBox::Ok},
                      SendCase{"webserverCancel", "web-server", QMessageBox::Cancel},
                      SendCase{"mobilenetworkOk", "mobile-network", QMessageBox::Ok},
                      SendCase{"mobilenetworkCancel", "mobile-network", QMessageBox::Cancel}),
    test::CaseName{});

struct WireCase : test::NamedCase {
    QByteArray sent;
    QStringList delivered;
    int junk;
    bool senderCloses = false;  // else the channel closes the connection, at the latest when it idles
    int idleTimeoutMs = InstanceChannel::kIdleTimeoutMs;
};

class InstanceChannelTest : public ::testing::TestWithParam<WireCase> {};

// What one connection may carry: one line of at most 256 bytes, ended by LF;
// anything else is refused whole and reported once.
TEST_P(InstanceChannelTest, OneShortLinePerConnection)
{
    const QString key = UniqueKey();
    InstanceChannel channel(key, GetParam().idleTimeoutMs);
    ASSERT_TRUE(channel.Claim());
    QStringList delivered;
    int junk = 0;
    QObject::connect(&channel, &InstanceChannel::MessageReceived, [&](const QString& m) { delivered << m; });
    QObject::connect(&channel, &InstanceChannel::JunkReceived, [&](const QString&) { ++junk; });

    QLocalSocket client;
    client.connectToServer(key);
    ASSERT_TRUE(client.waitForConnected(2000));
    client.write(GetParam().sent);
    client.flush();
    if (GetParam().senderCloses)
        client.disconnectFromServer();
    SpinUntil([&] { return client.state() == QLocalSocket::UnconnectedState; });
    EXPECT_EQ(client.state(), QLocalSocket::UnconnectedState) << "the channel closes every connection";
    SpinUntil([&] { return delivered.size() + junk >= GetParam().delivered.size() + GetParam().junk; });
    ProcessEvents();
    EXPECT_EQ(delivered, GetParam().delivered);
    EXPECT_EQ(junk, GetParam().junk);
}

INSTANTIATE_TEST_SUITE_P(
    Wire, InstanceChannelTest,
    ::testing::Values(WireCase{"OneMessage", "unplug\n", {"unplug"}, 0},
                      WireCase{"OnlyTheFirstLine", "unplug\nplug\nreset\n", {"unplug"}, 0},
                      WireCase{"LongestLine", QByteArray(250, ' ') + "plug\n", {"plug"}, 0},
                      WireCase{"TooLongIsRefusedWhole", QByteArray(255, 'A') + "unplug\n", {}, 1},
                      WireCase{"EndlessLineIsRefusedOnce", QByteArray(4096, 'A'), {}, 1},
                      WireCase{"ControlBytesAreJunk", QByteArray("un\x01plug\n"), {}, 1},
                      WireCase{"LineWithoutItsEndIsDropped", "reset", {}, 1, true},
                      WireCase{"StalledLineIsDroppedWhenIdle", "reset", {}, 1, false, 300}),
    test::CaseName{});

TEST(InstanceChannelIdleTest, ASilentConnectionIsClosed)
{
    const QString key = UniqueKey();
    InstanceChannel channel(key, 50);
    ASSERT_TRUE(channel.Claim());
    QLocalSocket client;
    client.connectToServer(key);
    ASSERT_TRUE(client.waitForConnected(2000));
    EXPECT_TRUE(SpinUntil([&] { return client.state() == QLocalSocket::UnconnectedState; }));
}

}  // namespace
}  // namespace vorelle
