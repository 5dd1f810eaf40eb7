#include "publish/Discovery.h"

#include "publish/QuantityKinds.h"
#include "publish/ReadingJson.h"

#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdio>

namespace vorelle {

namespace {

constexpr std::size_t kLongestIdText = 32;

std::uint32_t Fnv1a(std::string_view text)
{
    std::uint32_t hash = 2166136261u;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash;
}

bool IsIdCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// ", \"name\": \"value\"", or nothing for an empty value.
std::string JsonField(std::string_view name, std::string_view value)
{
    return value.empty() ? std::string() : ", " + JsonQuoted(name) + ": " + JsonQuoted(value);
}

}  // namespace

PublishedDevice StationDevice(bool simulated)
{
    char host[HOST_NAME_MAX + 1] = {};
    if (gethostname(host, sizeof host - 1) != 0 || host[0] == '\0')
        std::snprintf(host, sizeof host, "localhost");
    const std::string hostName(host);
    return {DeviceIdFrom(simulated ? hostName + " simulated" : hostName),
            "Weather station on " + hostName + (simulated ? " (simulated)" : ""), std::string(kConsoleModel), {}};
}

std::string DeviceIdFrom(std::string_view stableText)
{
    std::string id = "vorelle2_";
    bool gap = false;
    std::size_t kept = 0;
    for (const char c : stableText) {
        const char lower = AsciiLower(c);
        if (!IsIdCharacter(lower)) {
            gap = true;
            continue;
        }
        if (kept == kLongestIdText)
            break;
        if (gap && kept > 0) {
            id += '_';
            ++kept;
        }
        id += lower;
        ++kept;
        gap = false;
    }
    if (kept > 0)
        id += '_';
    char hash[9];
    std::snprintf(hash, sizeof hash, "%08x", Fnv1a(stableText));
    return id + hash;
}

PublishedTopics TopicsFor(std::string_view prefix, const PublishedDevice& device)
{
    const std::string base = std::string(prefix) + "/" + device.id + "/";
    return {base + "state", base + "availability"};
}

MqttMessage DiscoveryMessage(std::string_view key, std::string_view name, const UnitCodes& units,
                             const PublishedDevice& device, const PublishedTopics& topics)
{
    const std::optional<QuantityKind> kind = KindOf(key);
    const SensorDescription sensor = kind ? DescribeSensor(*kind, units) : SensorDescription{};
    const std::string keyText(key);
    std::string payload = "{\"name\": " + JsonQuoted(name) + ", \"unique_id\": " + JsonQuoted(device.id + "_" + keyText) +
                          ", \"device\": {\"identifiers\": [" + JsonQuoted(device.id) +
                          "], \"name\": " + JsonQuoted(device.name) + ", \"manufacturer\": \"Vorelle\"" +
                          JsonField("model", device.model) + JsonField("sw_version", device.firmwareVersion) +
                          "}, \"origin\": {\"name\": \"Vorelle 2\", \"sw_version\": \"" VORELLE2_VERSION "\"}" +
                          JsonField("device_class", sensor.deviceClass) + JsonField("unit_of_measurement", sensor.unit) +
                          JsonField("state_class", sensor.stateClass) + ", \"value_template\": " +
                          JsonQuoted("{{ value_json.readings." + keyText + " }}") +
                          ", \"state_topic\": " + JsonQuoted(topics.state) +
                          ", \"availability_topic\": " + JsonQuoted(topics.availability) + "}";
    return {"homeassistant/sensor/" + device.id + "/" + keyText + "/config", std::move(payload)};
}

}  // namespace vorelle
