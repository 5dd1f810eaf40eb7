#include "board/BoardTexts.h"
#include "publish/MqttPublisher.h"
#include "support/MqttBroker.h"
#include "support/SimulatedReading.h"

#include <gtest/gtest.h>

namespace vorelle {
namespace {

using test::MqttBroker;
using test::MqttSubscriber;

const PublishedDevice kDevice{"vorelle2_test", "Station", "M402", "1.07"};
const PublishedTopics kTopics = TopicsFor("weather", kDevice);
const PublisherTiming kQuickRetries{std::chrono::milliseconds(50), std::chrono::milliseconds(400),
                                    std::chrono::seconds(10), std::chrono::seconds(2)};

MqttSettings BrokerAt(int port, std::string user = {}, std::string password = {})
{
    return {true, "127.0.0.1", port, false, "", std::move(user), std::move(password), "weather"};
}

class MqttPublisherTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (MqttBroker::Program().empty())
            GTEST_SKIP() << "Debian's mosquitto broker is not installed (scripts/install-deps installs it)";
    }
};

class MqttUnitsTest : public MqttPublisherTest, public ::testing::WithParamInterface<UnitCodes> {};

// Every quantity with a value is announced in the console's units; the state
// is the reading's, the device is online.
TEST_P(MqttUnitsTest, AnnouncesEveryQuantityWithAValueAndPublishesTheState)
{
    MqttBroker broker;
    MqttSubscriber subscriber(broker.Port());
    const TimedReading reading = test::SimulatedReading(GetParam());
    MqttPublisher publisher(BrokerAt(broker.Port()), kDevice, {}, kQuickRetries);
    publisher.Publish(reading);
    ASSERT_TRUE(subscriber.WaitFor([&] { return subscriber.Latest(kTopics.state) == StateJson(reading); }))
        << subscriber.Latest(kTopics.state);
    EXPECT_EQ(subscriber.Latest(kTopics.availability), "online");
    std::size_t announced = 0;
    for (const QuantityReading& q : QuantityReadings(reading.snapshot)) {
        const MqttMessage expected = DiscoveryMessage(q.key, q.name, reading.snapshot.values.units, kDevice, kTopics);
        EXPECT_EQ(subscriber.Latest(expected.topic), q.missing ? "(none)" : expected.payload) << q.key;
        announced += q.missing ? 0 : 1;
    }
    EXPECT_EQ(subscriber.latest.size(), announced + 2);
    EXPECT_GT(announced, 20u);
}

INSTANTIATE_TEST_SUITE_P(UnitSystems, MqttUnitsTest,
                         ::testing::Values(UnitCodes{0, 2, 0, 0, 0}, UnitCodes{1, 0, 3, 1, 2}));

TEST_F(MqttPublisherTest, BrokerSaysOfflineForAPublisherKilled)
{
    MqttBroker broker;
    MqttSubscriber subscriber(broker.Port());
    const pid_t publisher = test::Spawn({VORELLE2_PUBLISH_UNTIL_KILLED, std::to_string(broker.Port()), kDevice.id});
    const std::string availability = "vorelle2/" + kDevice.id + "/availability";
    ASSERT_TRUE(subscriber.WaitFor([&] { return subscriber.Latest(availability) == "online"; }));
    kill(publisher, SIGKILL);
    waitpid(publisher, nullptr, 0);
    EXPECT_TRUE(subscriber.WaitFor([&] { return subscriber.Latest(availability) == "offline"; }));
}

// The latest reading handed over while the broker was away is the state once
// it is back; stopping says "offline".
TEST_F(MqttPublisherTest, ReconnectsWithTheLatestReadingAndSaysOfflineWhenStopped)
{
    MqttBroker broker;
    MqttSubscriber subscriber(broker.Port());
    TimedReading reading = test::SimulatedReading({0, 2, 0, 0, 0});
    {
        MqttPublisher publisher(BrokerAt(broker.Port()), kDevice, {}, kQuickRetries);
        publisher.Publish(reading);
        ASSERT_TRUE(subscriber.WaitFor([&] { return subscriber.Latest(kTopics.state) == StateJson(reading); }));
        broker.Stop();
        ASSERT_TRUE(test::Eventually([&] { return publisher.Status().state == PublisherState::Away; }));
        for (int i = 1; i <= 3; ++i) {
            reading.takenAt += std::chrono::seconds(9);
            publisher.Publish(reading);
        }
        subscriber.latest.clear();
        broker.Start();
        ASSERT_TRUE(subscriber.WaitFor([&] { return subscriber.Latest(kTopics.state) == StateJson(reading); }))
            << subscriber.Latest(kTopics.state);
        EXPECT_EQ(subscriber.Latest(kTopics.availability), "online");
        EXPECT_EQ(publisher.Status().state, PublisherState::Connected);
    }
    EXPECT_TRUE(subscriber.WaitFor([&] { return subscriber.Latest(kTopics.availability) == "offline"; }));
}

struct AwayCase {
    const char* name;
    const char* password;  // the broker's user "ann" has "right"
    bool listening;
    const char* reason;
};

void PrintTo(const AwayCase& c, std::ostream* os) { *os << c.name; }

class MqttAwayTest : public MqttPublisherTest, public ::testing::WithParamInterface<AwayCase> {};

// The status says why, never shows the password, and Publish() still only
// hands the reading over.
TEST_P(MqttAwayTest, StatusSaysWhyTheBrokerIsAway)
{
    const AwayCase c = GetParam();
    MqttBroker broker("ann", "right");
    const int port = c.listening ? broker.Port() : test::FreePort();
    std::vector<PublisherStatus> heard;
    std::mutex heardMutex;
    MqttPublisher publisher(BrokerAt(port, "ann", c.password), kDevice,
                            [&](const PublisherStatus& s) {
                                std::lock_guard lock(heardMutex);
                                heard.push_back(s);
                            },
                            kQuickRetries);
    publisher.Publish(test::SimulatedReading({0, 2, 0, 0, 0}));
    PublisherStatus status;
    ASSERT_TRUE(test::Eventually([&] {
        status = publisher.Status();
        return status.state == PublisherState::Away;
    }));
    EXPECT_EQ(status.reason, c.reason);
    EXPECT_EQ(status.broker, "127.0.0.1:" + std::to_string(port));
    EXPECT_EQ(StatusText(status).find(c.password), std::string::npos) << StatusText(status);
    std::lock_guard lock(heardMutex);
    ASSERT_GE(heard.size(), 2u);
    EXPECT_EQ(heard[0].state, PublisherState::Connecting);
    EXPECT_EQ(heard[1], status);
}

INSTANTIATE_TEST_SUITE_P(Causes, MqttAwayTest,
                         ::testing::Values(AwayCase{"WrongPassword", "wrong-password", true, "not authorised"},
                                           AwayCase{"NobodyListening", "right", false, "Connection refused"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorelle
