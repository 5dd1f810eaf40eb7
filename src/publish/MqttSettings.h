#pragma once

#include "config/IniFile.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorelle {

inline constexpr int kMqttPort = 1883;
inline constexpr int kMqttTlsPort = 8883;
inline constexpr std::string_view kMqttSection = "MQTT";
inline constexpr std::string_view kDefaultTopicPrefix = "vorelle2";

// Where and how the readings are published; kept in Main.ini's [MQTT] section
// under the keys enabled, host, port, tls, ca_file, user, password and
// topic_prefix.
struct MqttSettings {
    bool enabled = false;
    std::string host;
    int port = kMqttPort;
    bool tls = false;
    std::string caFile;  // empty: the system's certificate authorities
    std::string user;    // empty: no log-in
    std::string password;
    std::string topicPrefix{kDefaultTopicPrefix};

    friend bool operator==(const MqttSettings&, const MqttSettings&) = default;
};

// What is wrong with the settings, in a sentence for the user (which never
// holds the password); empty when nothing is.
std::string CheckMqttSettings(const MqttSettings& settings);

// The [MQTT] section. An absent key keeps its default (the port: 1883, or
// 8883 with TLS); a value that cannot be read keeps it too, and what is wrong
// with it is added to `problems`.
MqttSettings ReadMqttSettings(const IniFile& ini, std::vector<std::string>& problems);

// The [MQTT] section of the file; the defaults for a file that does not
// exist, and for one that cannot be read, with the reason in `problems`.
MqttSettings ReadMqttSettingsFile(const std::filesystem::path& file, std::vector<std::string>& problems);

// "host:port" ("[::1]:1883" for an IPv6 host), as messages name the broker.
std::string BrokerName(const MqttSettings& settings);

// Writes the settings into the [MQTT] section of `file`, every other line as
// it was, the file written whole. While it holds a password the file is
// readable by its owner only; when a password is taken out, it is readable by
// all again (rw-r--r--, as it is shipped); otherwise its mode stays. False
// with the reason when the settings are wrong or the file cannot be written.
bool SaveMqttSettings(const std::filesystem::path& file, const MqttSettings& settings, std::string& error);

// Reads "mqtt://[user[:password]@]host[:port][/topic prefix]" (or "mqtts://"
// for TLS with the system's certificate authorities) into enabled settings.
// User and password may carry %-escapes (%40 for '@'); an IPv6 address is
// written in brackets. On failure `error` says why without repeating the
// address, which may hold a password.
std::optional<MqttSettings> ParseMqttUrl(std::string_view url, std::string& error);

// Overwrites the password of such an address in place with '*', so that the
// command line of the process, as `ps` shows it, no longer holds it. True
// when there was one.
bool HideUrlPassword(char* url);

}  // namespace vorelle
