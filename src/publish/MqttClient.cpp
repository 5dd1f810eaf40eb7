#include "publish/MqttClient.h"

#include <mosquitto.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>

namespace vorelle {

namespace {

constexpr int kKeepAliveSeconds = 30;
constexpr int kAtLeastOnce = 1;

// The broker's answer to the log-in, in MQTT 3.1.1's codes.
std::string RefusalReason(int code)
{
    switch (code) {
    case 1: return "the broker does not speak MQTT 3.1.1";
    case 2: return "the broker refused the client id";
    case 3: return "the broker is unavailable";
    case 4: return "bad user name or password";
    case 5: return "not authorised";
    default: return mosquitto_connack_string(code);
    }
}

}  // namespace

MqttClient::MqttClient(const MqttSettings& settings, const std::string& clientId, const MqttMessage& lastWill)
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { mosquitto_lib_init(); });
    client_ = mosquitto_new(clientId.c_str(), true, this);
    if (!client_) {
        Fail(std::strerror(errno));
        return;
    }
    mosquitto_connect_callback_set(client_, &MqttClient::OnConnect);
    mosquitto_disconnect_callback_set(client_, &MqttClient::OnDisconnect);
    mosquitto_publish_callback_set(client_, &MqttClient::OnPublish);
    mosquitto_log_callback_set(client_, &MqttClient::OnLog);
    if (!Start(settings, lastWill) && state_ != State::Failed)
        Fail("the connection could not be set up");
}

MqttClient::~MqttClient()
{
    if (client_)
        mosquitto_destroy(client_);
}

bool MqttClient::Start(const MqttSettings& settings, const MqttMessage& lastWill)
{
    // A reading is a few small messages; each should leave at once rather
    // than wait for the acknowledgement of the one before.
    if (mosquitto_int_option(client_, MOSQ_OPT_TCP_NODELAY, 1) != MOSQ_ERR_SUCCESS)
        return false;
    if (!settings.user.empty() &&
        mosquitto_username_pw_set(client_, settings.user.c_str(),
                                  settings.password.empty() ? nullptr : settings.password.c_str()) != MOSQ_ERR_SUCCESS)
        return false;
    if (!lastWill.topic.empty() &&
        mosquitto_will_set(client_, lastWill.topic.c_str(), static_cast<int>(lastWill.payload.size()),
                           lastWill.payload.data(), kAtLeastOnce, true) != MOSQ_ERR_SUCCESS)
        return false;
    if (settings.tls) {
        if (settings.caFile.empty()) {
            if (mosquitto_int_option(client_, MOSQ_OPT_TLS_USE_OS_CERTS, 1) != MOSQ_ERR_SUCCESS)
                return false;
        } else if (access(settings.caFile.c_str(), R_OK) != 0) {
            Fail("the CA file " + settings.caFile + " cannot be read: " + std::strerror(errno));
            return false;
        } else if (mosquitto_tls_set(client_, settings.caFile.c_str(), nullptr, nullptr, nullptr, nullptr) !=
                   MOSQ_ERR_SUCCESS) {
            Fail("the CA file " + settings.caFile + " holds no certificate");
            return false;
        }
    }
    const int result = mosquitto_connect_async(client_, settings.host.c_str(), settings.port, kKeepAliveSeconds);
    if (result != MOSQ_ERR_SUCCESS) {
        Fail(ReasonOf(result));
        return false;
    }
    return true;
}

int MqttClient::Socket() const
{
    return client_ ? mosquitto_socket(client_) : -1;
}

bool MqttClient::WantsToWrite() const
{
    return client_ && mosquitto_want_write(client_);
}

void MqttClient::Pump(bool readable, bool writable)
{
    if (state_ == State::Failed)
        return;
    int result = MOSQ_ERR_SUCCESS;
    if (readable)
        result = mosquitto_loop_read(client_, 1);
    if (result == MOSQ_ERR_SUCCESS && writable)
        result = mosquitto_loop_write(client_, 1);
    if (result == MOSQ_ERR_SUCCESS && state_ == State::Connected)
        result = mosquitto_loop_misc(client_);
    if (result != MOSQ_ERR_SUCCESS)
        Fail(ReasonOf(result));
}

bool MqttClient::Publish(const MqttMessage& message)
{
    if (state_ != State::Connected)
        return false;
    const int result = mosquitto_publish(client_, nullptr, message.topic.c_str(),
                                         static_cast<int>(message.payload.size()), message.payload.data(),
                                         kAtLeastOnce, true);
    if (result != MOSQ_ERR_SUCCESS) {
        Fail(ReasonOf(result));
        return false;
    }
    ++unacknowledged_;
    return true;
}

void MqttClient::Disconnect()
{
    if (state_ == State::Connected)
        mosquitto_disconnect(client_);
}

void MqttClient::OnConnect(mosquitto*, void* self, int result)
{
    MqttClient& me = *static_cast<MqttClient*>(self);
    if (result == 0)
        me.state_ = State::Connected;
    else
        me.Fail(RefusalReason(result));
}

void MqttClient::OnDisconnect(mosquitto*, void* self, int result)
{
    MqttClient& me = *static_cast<MqttClient*>(self);
    me.Fail(result == MOSQ_ERR_SUCCESS ? std::string("disconnected") : me.ReasonOf(result));
}

void MqttClient::OnPublish(mosquitto*, void* self, int)
{
    --static_cast<MqttClient*>(self)->unacknowledged_;
}

void MqttClient::OnLog(mosquitto*, void* self, int level, const char* text)
{
    if (level == MOSQ_LOG_ERR)
        static_cast<MqttClient*>(self)->lastError_ = text;
}

void MqttClient::Fail(std::string reason)
{
    // The first reason is the cause; what follows is its consequence.
    if (state_ == State::Failed)
        return;
    state_ = State::Failed;
    reason_ = std::move(reason);
}

std::string MqttClient::ReasonOf(int result) const
{
    switch (result) {
    case MOSQ_ERR_ERRNO: return std::strerror(errno);
    case MOSQ_ERR_EAI: return "its host name cannot be found";
    case MOSQ_ERR_CONN_LOST: return "the connection was lost";
    case MOSQ_ERR_KEEPALIVE: return "it stopped answering";
    case MOSQ_ERR_PROTOCOL: return "it broke the MQTT protocol";
    case MOSQ_ERR_TLS: return lastError_.empty() ? std::string("the TLS connection failed") : "TLS: " + lastError_;
    default: return mosquitto_strerror(result);
    }
}

}  // namespace vorelle
