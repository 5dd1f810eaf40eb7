#include "publish/BrokerCheck.h"

#include "publish/MqttClient.h"

#include <poll.h>

#include <algorithm>

namespace vorelle {

namespace {
constexpr std::chrono::milliseconds kStopLookEvery{100};
}  // namespace

BrokerCheckResult CheckBroker(const MqttSettings& settings, const std::string& clientId, std::stop_token stop,
                              std::chrono::milliseconds patience)
{
    MqttSettings tried = settings;
    tried.enabled = true;
    if (const std::string wrong = CheckMqttSettings(tried); !wrong.empty())
        return {false, "These settings cannot be used: " + wrong + "."};
    const std::string couldNot = "Could not connect to the MQTT broker " + BrokerName(tried) + ": ";
    MqttClient client(tried, clientId, {});
    const auto giveUp = std::chrono::steady_clock::now() + patience;
    while (client.CurrentState() == MqttClient::State::Connecting) {
        if (stop.stop_requested())
            return {false, couldNot + "the test was stopped."};
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(giveUp - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return {false, couldNot + "no answer within " + std::to_string(patience.count() / 1000) + " s."};
        pollfd wait{client.Socket(), static_cast<short>(POLLIN | (client.WantsToWrite() ? POLLOUT : 0)), 0};
        poll(&wait, 1, static_cast<int>(std::min(left, kStopLookEvery).count()));
        client.Pump(wait.revents & (POLLIN | POLLHUP | POLLERR), wait.revents & POLLOUT);
    }
    if (client.CurrentState() == MqttClient::State::Failed)
        return {false, couldNot + client.FailureReason() + "."};
    client.Disconnect();
    return {true, "Connected to the MQTT broker " + BrokerName(tried) + "."};
}

}  // namespace vorelle
