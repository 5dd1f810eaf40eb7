#pragma once

#include "live/LiveValues.h"

#include <string>
#include <string_view>
#include <vector>

namespace vorelle {

// The station as a home-automation system lists it.
struct PublishedDevice {
    std::string id;               // DeviceIdFrom(...): letters, digits, '_' and '-' only
    std::string name;             // e.g. "Weather station"
    std::string model;            // the console's model
    std::string firmwareVersion;  // empty when not known
};

// The console's model, as the maker's update server names its firmware.
inline constexpr std::string_view kConsoleModel = "M402";

// The station as this machine publishes it: named after the host, with the
// id DeviceIdFrom gives the host's name (and "simulated" for the simulated
// console, so that trying the program never stands in for the real station).
// A console's device path changes with each replug and the console tells no
// serial number or firmware version outside its bootloader, so one station
// per machine is what stays put; the firmware version is left unknown.
PublishedDevice StationDevice(bool simulated);

// A stable device id from a text that names this station for good, e.g. the
// host's name and the console's device path: "vorelle2_" and the text in
// letters, digits and '_' (at most 32 of them), then 8 hex digits of a hash
// of the whole text, so that texts differing only in the characters left out
// still give different ids.
std::string DeviceIdFrom(std::string_view stableText);

// Where one station's messages go.
struct PublishedTopics {
    std::string state;         // the retained reading
    std::string availability;  // "online", or "offline" (also the last will)
};

// "<prefix>/<device id>/state" and ".../availability".
PublishedTopics TopicsFor(std::string_view prefix, const PublishedDevice& device);

inline constexpr std::string_view kOnline = "online";
inline constexpr std::string_view kOffline = "offline";

struct MqttMessage {
    std::string topic;
    std::string payload;
};

// Home Assistant's announcement of one quantity of the state message:
// "homeassistant/sensor/<device id>/<key>/config" with the sensor's name,
// unique id, device, device and state class, unit in the console's display
// units, the template that takes its value from the state, and the topics.
MqttMessage DiscoveryMessage(std::string_view key, std::string_view name, const UnitCodes& units,
                             const PublishedDevice& device, const PublishedTopics& topics);

}  // namespace vorelle
