#pragma once

#include "publish/MqttSettings.h"

#include <chrono>
#include <stop_token>
#include <string>

namespace vorelle {

struct BrokerCheckResult {
    bool connected = false;
    std::string message;  // what happened, in a sentence for the user (never the password)
};

// Connects to the broker of `settings` (whether or not they are switched on),
// says goodbye at once, and tells what happened: connected, or the broker's or
// the network's reason. `clientId` must differ from the publisher's, which the
// broker would otherwise disconnect. Blocks for the host name's lookup and up
// to `patience` for an answer; returns early once `stop` is requested.
BrokerCheckResult CheckBroker(const MqttSettings& settings, const std::string& clientId, std::stop_token stop,
                              std::chrono::milliseconds patience = std::chrono::seconds(10));

}  // namespace vorelle
