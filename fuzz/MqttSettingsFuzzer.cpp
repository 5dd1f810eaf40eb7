// Fuzz entry point for the MQTT configuration: Main.ini as the owner may have
// edited it, and the mqtt:// address of a command line. The first byte
// chooses a key of the [MQTT] section, the rest is the file; its first line is
// also the value written to that key and the address read.
// Built with libFuzzer as mqtt_settings_fuzzer, and without it, under
// ReplayMain, as the corpus replay that ctest runs.
#include "FuzzCheck.h"
#include "FuzzInput.h"

#include "publish/MqttSettings.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace vorelle;
using fuzz::Check;

constexpr std::array<std::string_view, 8> kKeys{"enabled", "host", "port", "tls", "ca_file", "user", "password",
                                                "topic_prefix"};

// A file is kept as it came, and a key written reads back as written while
// every other key keeps its value.
void CheckIniFile(std::string_view key, std::string_view text, std::string_view value)
{
    IniFile ini(text);
    Check(ini.Text() == text, "a file read and written again is the same text");
    std::vector<std::string> problems;
    ReadMqttSettings(ini, problems);
    const IniFile before = ini;
    Check(ini.Set(kMqttSection, key, value), "a value without a line break can be written");
    Check(ini.Value(kMqttSection, key) == value, "the value written reads back");
    for (const std::string_view other : kKeys)
        Check(other == key || ini.Value(kMqttSection, other) == before.Value(kMqttSection, other),
              "the other keys keep their values");
    Check(ini.Value("Vorelle2", "Version") == before.Value("Vorelle2", "Version"), "other sections stay");
    Check(IniFile(ini.Text()).Text() == ini.Text(), "the new file reads as it was written");
}

// An address read gives settings that pass their own check; hiding its
// password changes nothing else.
void CheckAddress(std::string_view url)
{
    std::string error;
    const std::optional<MqttSettings> settings = ParseMqttUrl(url, error);
    Check(settings.has_value() == error.empty(), "an address is read or refused with a reason");
    if (!settings)
        return;
    Check(settings->enabled && CheckMqttSettings(*settings).empty(), "an address read gives sound settings");
    std::string hidden(url);
    const bool hid = HideUrlPassword(hidden.data());
    Check(hid || hidden == url, "an address without a password stays as it was");
    const std::optional<MqttSettings> again = ParseMqttUrl(hidden, error);
    Check(again.has_value(), "an address with its password hidden is still read");
    MqttSettings withoutPassword = *again;
    withoutPassword.password = settings->password;
    Check(withoutPassword == *settings, "hiding touches the password only");
    Check(!hid || again->password.find_first_not_of('*') == std::string::npos, "the password is hidden whole");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::FuzzInput input(data, size);
    const std::string_view key = kKeys[input.Byte() % kKeys.size()];
    const std::span<const std::uint8_t> rest = input.Rest();
    const std::string_view text(reinterpret_cast<const char*>(rest.data()), rest.size());
    const std::string_view firstLine = text.substr(0, text.find_first_of("\r\n"));
    CheckIniFile(key, text, firstLine);
    if (firstLine.find('\0') == std::string_view::npos)
        CheckAddress(firstLine);
    return 0;
}
