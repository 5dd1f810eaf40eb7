#include "DialogTestSupport.h"
#include "WindowFixture.h"
#include "app/BoardView.h"
#include "app/CommandIds.h"
#include "publish/HomeAutomationDialog.h"
#include "support/MqttAnnouncements.h"
#include "support/SimulatedReading.h"
#include "widgets/ControlIds.h"

#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace vorelle {
namespace {

namespace home_id = control_id::home_automation;

const UnitCodes kUnits{1, 0, 3, 1, 2};

// What a state message says but the time it was read.
std::string WithoutTime(const std::string& state) { return state.substr(std::min(state.find("\"units\""), state.size())); }

// The window on a simulated console whose clock stands still, publishing as
// Main.ini says to a broker of the test's, where "ann" logs in with "right".
class HomeAutomationTest : public test::WindowFixture {
protected:
    void SetUp() override
    {
        if (test::MqttBroker::Program().empty())
            GTEST_SKIP() << "Debian's mosquitto broker is not installed (scripts/install-deps installs it)";
        ASSERT_TRUE(broker.Start());
        SetUpStation(test::StandingStation(kUnits), console);
        std::string error;
        ASSERT_TRUE(SaveMqttSettings(temp.Path() / "Main.ini", Configured(), error)) << error;
        subscriber.emplace(broker.Port(), "ann", "right");
        test::WindowFixture::SetUp();
    }

    virtual MqttSettings Configured() const { return BrokerAt(broker.Port(), "right"); }
    static MqttSettings BrokerAt(int port, const char* password)
    {
        return {true, "127.0.0.1", port, false, "", "ann", password, "weather"};
    }

    test::MqttBroker broker{"ann", "right"};
    std::optional<test::MqttSubscriber> subscriber;
    const PublishedDevice device = StationDevice(true);
};

// Each reading of the poll is the retained state, as `vorelle2-cli live
// --json` reads the console at the same standing clock, and every quantity
// is announced to Home Assistant.
TEST_F(HomeAutomationTest, TheWindowPublishesEachReadingWithDiscovery)
{
    TakeReading();
    const TimedReading expected = test::SimulatedReading(kUnits);
    const PublishedTopics topics = TopicsFor("weather", device);
    ASSERT_TRUE(subscriber->WaitFor([&] { return WithoutTime(subscriber->Latest(topics.state)) == WithoutTime(StateJson(expected)); }))
        << subscriber->Latest(topics.state);
    test::ExpectAnnouncedAlone(*subscriber, expected, device, topics);
    EXPECT_TRUE(test::SpinUntil([&] { return window.PublishingText() == "MQTT: publishing"; }));
}

// Save writes Main.ini, for its owner alone as it holds a password, and
// publishing starts again with what was saved.
TEST_F(HomeAutomationTest, SaveWritesMainIniAndPublishesWithTheNewSettings)
{
    std::filesystem::permissions(temp.Path() / "Main.ini", std::filesystem::perms::others_read,
                                 std::filesystem::perm_options::add);
    HomeAutomationDialog& dialog = window.HomeAutomation();
    EXPECT_TRUE(test::WithDialog(dialog, [&] { window.RunCommand(command_id::HomeAutomation); }, [&] {
        EXPECT_EQ(dialog.Settings(), Configured()) << "filled from Main.ini";
        test::ById<QLineEdit>(dialog, home_id::TopicPrefix)->setText("home");
        test::ById<QPushButton>(dialog, home_id::SaveButton)->click();
        EXPECT_TRUE(test::SpinUntil([&] { return !dialog.isVisible(); }));
    }));
    MqttSettings saved = Configured();
    saved.topicPrefix = "home";
    std::vector<std::string> problems;
    EXPECT_EQ(ReadMqttSettingsFile(temp.Path() / "Main.ini", problems), saved);
    EXPECT_EQ(std::filesystem::status(temp.Path() / "Main.ini").permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_TRUE(subscriber->WaitFor([&] {
        return subscriber->Latest(TopicsFor("home", device).availability) == "online" &&
               subscriber->Latest(TopicsFor("weather", device).availability) == "offline";
    }));
}

struct BrokerCase {
    const char* name;
    const char* password;
    bool listening;
    const char* reason;  // why the broker is away; none: connected
};

class BrokerCaseTest : public HomeAutomationTest, public ::testing::WithParamInterface<BrokerCase> {
protected:
    int Port() const { return GetParam().listening ? broker.Port() : unheard; }
    MqttSettings Configured() const override { return BrokerAt(Port(), GetParam().password); }
    const int unheard = test::FreePort();
};

// The dialog's Test connects with the settings as typed and says what happened.
TEST_P(BrokerCaseTest, TestSaysWhatHappened)
{
    const BrokerCase c = GetParam();
    HomeAutomationDialog& dialog = window.HomeAutomation();
    test::WithDialog(dialog, [&] { window.RunCommand(command_id::HomeAutomation); }, [&] {
        test::ById<QPushButton>(dialog, home_id::TestButton)->click();
        EXPECT_TRUE(test::SpinUntil([&] { return !dialog.Working(); }, 15000));
    });
    const std::string broker = "the MQTT broker 127.0.0.1:" + std::to_string(Port());
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{c.reason ? "Could not connect to " + broker + ": " + c.reason + "."
                                                                  : "Connected to " + broker + "."});
}

// The status bar says how publishing goes, and why the broker is away; the
// poll goes on all the same.
TEST_P(BrokerCaseTest, StatusBarSaysHowPublishingGoesAndThePollGoesOn)
{
    const BrokerCase c = GetParam();
    for (int reading = 0; reading < 3; ++reading) {
        const std::uint64_t before = window.Board().Shown().generation;
        TakeReading();
        EXPECT_GT(window.Board().Shown().generation, before);
    }
    const char* expected = c.reason ? "MQTT: broker away" : "MQTT: publishing";
    ASSERT_TRUE(test::SpinUntil([&] { return window.PublishingText() == expected; })) << window.PublishingText().toStdString();
    EXPECT_NE(window.PublishingDetails().indexOf(c.reason ? c.reason : "Publishing to the MQTT broker"), -1)
        << window.PublishingDetails().toStdString();
    EXPECT_EQ(window.PublishingDetails().indexOf(c.password), -1);
}

INSTANTIATE_TEST_SUITE_P(Brokers, BrokerCaseTest,
                         ::testing::Values(BrokerCase{"Running", "right", true, nullptr},
                                           BrokerCase{"WrongPassword", "wrong-password", true, "not authorised"},
                                           BrokerCase{"Unreachable", "right", false, "Connection refused"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorelle
