#include "publish/MqttSettings.h"

#include <charconv>
#include <cstring>

namespace vorelle {

namespace fs = std::filesystem;

namespace {

// How Main.ini is shipped, and how it is left when it no longer holds a secret.
constexpr fs::perms kSharedMode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                  fs::perms::others_read;
constexpr fs::perms kOwnerOnlyMode = fs::perms::owner_read | fs::perms::owner_write;

bool ReadPort(std::string_view text, int& port)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1 || value > 65535)
        return false;
    port = value;
    return true;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool PercentDecoded(std::string_view text, std::string& decoded)
{
    decoded.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            decoded += text[i];
            continue;
        }
        if (i + 2 >= text.size() || HexDigit(text[i + 1]) < 0 || HexDigit(text[i + 2]) < 0)
            return false;
        decoded += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
        i += 2;
    }
    return true;
}

// The user information, host and port, and path of an address after its
// scheme.
struct UrlParts {
    std::string_view userInfo;
    std::string_view hostPort;
    std::string_view path;
    bool hasUserInfo = false;
};

UrlParts SplitUrl(std::string_view rest)
{
    UrlParts parts;
    const std::size_t slash = rest.find('/');
    std::string_view authority = rest.substr(0, slash);
    parts.path = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    const std::size_t at = authority.rfind('@');
    if (at != std::string_view::npos) {
        parts.hasUserInfo = true;
        parts.userInfo = authority.substr(0, at);
        authority.remove_prefix(at + 1);
    }
    parts.hostPort = authority;
    return parts;
}

bool SplitHostPort(std::string_view hostPort, MqttSettings& settings, std::string& error)
{
    std::string_view host = hostPort;
    std::string_view port;
    if (hostPort.starts_with('[')) {
        const std::size_t close = hostPort.find(']');
        if (close == std::string_view::npos || (close + 1 < hostPort.size() && hostPort[close + 1] != ':')) {
            error = "the MQTT address has an IPv6 host without its closing bracket";
            return false;
        }
        host = hostPort.substr(1, close - 1);
        port = close + 1 < hostPort.size() ? hostPort.substr(close + 2) : std::string_view();
        if (close + 1 < hostPort.size() && port.empty()) {
            error = "the MQTT address has a ':' without a port";
            return false;
        }
    } else if (const std::size_t colon = hostPort.find(':'); colon != std::string_view::npos) {
        if (hostPort.find(':', colon + 1) != std::string_view::npos) {
            error = "write an IPv6 host of the MQTT address in brackets, e.g. mqtt://[::1]:1883";
            return false;
        }
        host = hostPort.substr(0, colon);
        port = hostPort.substr(colon + 1);
    }
    if (host.empty()) {
        error = "the MQTT address has no host";
        return false;
    }
    settings.host = host;
    if (!port.empty() || hostPort.ends_with(':')) {
        if (!ReadPort(port, settings.port)) {
            error = "the port of the MQTT address must be a number from 1 to 65535";
            return false;
        }
    }
    return true;
}

}  // namespace

std::string CheckMqttSettings(const MqttSettings& s)
{
    for (const std::string* field : {&s.host, &s.caFile, &s.user, &s.password, &s.topicPrefix})
        if (field->find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
            return "an MQTT setting cannot hold a line break or a zero byte";
    if (s.enabled && s.host.empty())
        return "the MQTT broker's host is missing";
    if (s.port < 1 || s.port > 65535)
        return "the MQTT port must be a number from 1 to 65535";
    if (s.topicPrefix.empty() || s.topicPrefix.front() == '/' || s.topicPrefix.back() == '/' ||
        s.topicPrefix.find_first_of("+#") != std::string::npos)
        return "the MQTT topic prefix must not be empty, begin or end with '/', or hold '+' or '#'";
    if (!s.password.empty() && s.user.empty())
        return "an MQTT password needs a user";
    return {};
}

MqttSettings ReadMqttSettings(const IniFile& ini, std::vector<std::string>& problems)
{
    MqttSettings s;
    const auto value = [&](std::string_view key) { return ini.Value(kMqttSection, key); };
    const auto readSwitch = [&](std::string_view key, bool& field) {
        if (const std::optional<std::string> text = value(key)) {
            if (const std::optional<bool> on = ReadIniSwitch(*text))
                field = *on;
            else
                problems.push_back("[MQTT] " + std::string(key) + " must be true or false");
        }
    };
    readSwitch("enabled", s.enabled);
    readSwitch("tls", s.tls);
    s.port = s.tls ? kMqttTlsPort : kMqttPort;
    if (const std::optional<std::string> port = value("port"); port && !ReadPort(*port, s.port))
        problems.push_back("[MQTT] port must be a number from 1 to 65535");
    s.host = value("host").value_or("");
    s.caFile = value("ca_file").value_or("");
    s.user = value("user").value_or("");
    s.password = value("password").value_or("");
    if (const std::optional<std::string> prefix = value("topic_prefix"); prefix && !prefix->empty())
        s.topicPrefix = *prefix;
    return s;
}

bool SaveMqttSettings(const fs::path& file, const MqttSettings& s, std::string& error)
{
    error = CheckMqttSettings(s);
    if (!error.empty())
        return false;
    std::string text;
    if (!ReadTextFile(file, text, error))
        return false;
    IniFile ini(text);
    std::vector<std::string> problems;
    const bool heldPassword = !ReadMqttSettings(ini, problems).password.empty();
    const std::pair<std::string_view, std::string> entries[] = {
        {"enabled", s.enabled ? "true" : "false"},
        {"host", s.host},
        {"port", std::to_string(s.port)},
        {"tls", s.tls ? "true" : "false"},
        {"ca_file", s.caFile},
        {"user", s.user},
        {"password", s.password},
        {"topic_prefix", s.topicPrefix},
    };
    for (const auto& [key, value] : entries)
        ini.Set(kMqttSection, key, value);
    std::error_code ignored;
    const fs::file_status status = fs::status(file, ignored);
    fs::perms mode = fs::exists(status) ? status.permissions() & fs::perms::mask : kSharedMode;
    if (!s.password.empty())
        mode = kOwnerOnlyMode;
    else if (heldPassword)
        mode = kSharedMode;
    return WriteTextFileWhole(file, ini.Text(), mode, error);
}

std::optional<MqttSettings> ParseMqttUrl(std::string_view url, std::string& error)
{
    MqttSettings s;
    s.enabled = true;
    if (url.starts_with("mqtts://")) {
        s.tls = true;
        s.port = kMqttTlsPort;
        url.remove_prefix(8);
    } else if (url.starts_with("mqtt://")) {
        url.remove_prefix(7);
    } else {
        error = "the MQTT address must begin with mqtt:// or mqtts://";
        return std::nullopt;
    }
    const UrlParts parts = SplitUrl(url);
    if (parts.hasUserInfo) {
        const std::size_t colon = parts.userInfo.find(':');
        const std::string_view password =
            colon == std::string_view::npos ? std::string_view() : parts.userInfo.substr(colon + 1);
        if (!PercentDecoded(parts.userInfo.substr(0, colon), s.user) || !PercentDecoded(password, s.password)) {
            error = "the user or password of the MQTT address has a '%' not followed by two hex digits";
            return std::nullopt;
        }
    }
    if (!SplitHostPort(parts.hostPort, s, error))
        return std::nullopt;
    if (!parts.path.empty())
        s.topicPrefix = parts.path;
    error = CheckMqttSettings(s);
    if (!error.empty())
        return std::nullopt;
    return s;
}

bool HideUrlPassword(char* url)
{
    char* const scheme = std::strstr(url, "://");
    if (!scheme)
        return false;
    char* const authority = scheme + 3;
    char* const end = authority + std::strcspn(authority, "/");
    char* at = nullptr;
    for (char* c = authority; c < end; ++c)
        if (*c == '@')
            at = c;
    char* const colon = at ? static_cast<char*>(std::memchr(authority, ':', static_cast<std::size_t>(at - authority)))
                           : nullptr;
    if (!colon || colon + 1 == at)
        return false;
    std::memset(colon + 1, '*', static_cast<std::size_t>(at - colon - 1));
    return true;
}

}  // namespace vorelle
