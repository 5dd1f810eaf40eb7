#include "sim/SimNetworkSettings.h"

#include "link/BigEndian.h"

#include <optional>
#include <span>

namespace vorelle {

namespace {

// Reads the counted text at `at` (its length byte, then its characters) and
// moves `at` past it; nothing when it runs past the report.
std::optional<std::string> CountedText(const Report& command, std::size_t& at)
{
    if (at >= command.size() || command[at] > command.size() - at - 1)
        return std::nullopt;
    const std::size_t length = command[at];
    std::string text(command.begin() + static_cast<std::ptrdiff_t>(at + 1),
                     command.begin() + static_cast<std::ptrdiff_t>(at + 1 + length));
    at += 1 + length;
    return text;
}

std::uint32_t Number(const Report& command, std::size_t at, std::size_t bytes)
{
    return ReadBigEndian(std::span(command).subspan(at, bytes));
}

}  // namespace

void SimNetworkSettings::Apply(const Report& command)
{
    std::size_t at = 2;
    std::lock_guard lock(mutex_);
    switch (command[0]) {
    case 0x12:
        if (const std::optional<std::string> apn = CountedText(command, at))
            mobile_.apn = *apn;
        return;
    case 0x14: {
        const std::optional<std::string> user = CountedText(command, at);
        const std::optional<std::string> password = user ? CountedText(command, at) : std::nullopt;
        if (password) {
            mobile_.user = *user;
            mobile_.password = *password;
        }
        return;
    }
    case 0xF6: {
        at = 8;
        std::array<std::string, 3> telephones;
        for (std::string& telephone : telephones) {
            const std::optional<std::string> text = CountedText(command, at);
            if (!text)
                return;
            telephone = *text;
        }
        mobile_.telephones = telephones;
        mobile_.alarmIntervalSeconds = static_cast<std::uint16_t>(Number(command, 2, 2));
        mobile_.currentIntervalSeconds = Number(command, 4, 4);
        return;
    }
    case 0x8A: {
        // The text fills the command after its two header bytes.
        const std::size_t length = command[1] >= 2 ? command[1] - 2u : 0;
        if (length <= command.size() - 2)
            testMessages_.emplace_back(command.begin() + 2, command.begin() + 2 + static_cast<std::ptrdiff_t>(length));
        return;
    }
    case 0xF2:
        if (const std::optional<std::string> server = CountedText(command, at))
            web_.server = *server;
        return;
    case 0xF4: {
        at = 10;
        const std::optional<std::string> id = CountedText(command, at);
        const std::optional<std::string> password = id ? CountedText(command, at) : std::nullopt;
        if (!password)
            return;
        web_.id = *id;
        web_.password = *password;
        web_.serverType = command[2];
        web_.uploadType = command[3];
        web_.port = static_cast<std::uint16_t>(Number(command, 4, 2));
        web_.intervalSeconds = Number(command, 6, 4);
        return;
    }
    default:
        return;
    }
}

SimMobileNetwork SimNetworkSettings::MobileNetwork() const
{
    std::lock_guard lock(mutex_);
    return mobile_;
}

SimWebUpload SimNetworkSettings::WebUpload() const
{
    std::lock_guard lock(mutex_);
    return web_;
}

std::vector<std::string> SimNetworkSettings::TestMessages() const
{
    std::lock_guard lock(mutex_);
    return testMessages_;
}

}  // namespace vorelle
