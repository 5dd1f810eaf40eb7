#pragma once

#include "publish/Discovery.h"
#include "publish/MqttSettings.h"

#include <string>

struct mosquitto;

namespace vorelle {

// One connection to an MQTT broker through libmosquitto. All of it runs on
// the one thread that owns the object: that thread waits on Socket() itself
// (for writing too while WantsToWrite()), calls Pump() when the socket is
// ready and at least once a second, for the keep-alive. Nothing here blocks
// but the lookup of the broker's host name.
class MqttClient {
public:
    enum class State { Connecting, Connected, Failed };

    // Starts connecting at once. The broker publishes `lastWill` (retained)
    // when the connection ends without a goodbye; one without a topic is none.
    MqttClient(const MqttSettings& settings, const std::string& clientId, const MqttMessage& lastWill);
    ~MqttClient();
    MqttClient(const MqttClient&) = delete;
    MqttClient& operator=(const MqttClient&) = delete;

    State CurrentState() const { return state_; }
    // Why the connection failed or ended, for the user (never the password).
    const std::string& FailureReason() const { return reason_; }

    int Socket() const;
    bool WantsToWrite() const;
    void Pump(bool readable, bool writable);

    // Retained, at least once. False when the connection cannot take it.
    bool Publish(const MqttMessage& message);
    // True when the broker has acknowledged every message published.
    bool AllAcknowledged() const { return unacknowledged_ == 0; }
    // Says goodbye, so that the broker does not publish the last will.
    void Disconnect();

private:
    static void OnConnect(mosquitto* client, void* self, int result);
    static void OnDisconnect(mosquitto* client, void* self, int result);
    static void OnPublish(mosquitto* client, void* self, int messageId);
    static void OnLog(mosquitto* client, void* self, int level, const char* text);
    void Fail(std::string reason);
    // The reason for a libmosquitto result, errno read at once.
    std::string ReasonOf(int result) const;
    bool Start(const MqttSettings& settings, const MqttMessage& lastWill);

    mosquitto* client_ = nullptr;
    State state_ = State::Connecting;
    std::string reason_;
    std::string lastError_;  // the library's latest error line, which names a TLS failure
    int unacknowledged_ = 0;
};

}  // namespace vorelle
