#pragma once

#include "link/HidTransport.h"

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace vorelle {

// What the console keeps of its mobile network set-up (CMD_WRITE_GPRS1,
// CMD_WRITE_GPRS2, CMD_WRITE_SMS). Texts are as received, in Latin-1.
struct SimMobileNetwork {
    std::string apn;
    std::string user;
    std::string password;
    std::array<std::string, 3> telephones;
    std::uint16_t alarmIntervalSeconds = 0;
    std::uint32_t currentIntervalSeconds = 0;

    friend bool operator==(const SimMobileNetwork&, const SimMobileNetwork&) = default;
};

// What the console keeps of its web upload set-up (CMD_WRITE_UPLOAD1,
// CMD_WRITE_UPLOAD2).
struct SimWebUpload {
    std::string server;
    std::string id;
    std::string password;
    std::uint8_t serverType = 0;
    std::uint8_t uploadType = 0;
    std::uint16_t port = 0;
    std::uint32_t intervalSeconds = 0;

    friend bool operator==(const SimWebUpload&, const SimWebUpload&) = default;
};

// The console's side of the mobile network and web upload commands, and the
// test messages it was asked to send.
class SimNetworkSettings {
public:
    // Takes in one of the six commands; a command whose texts would run past
    // the report changes nothing.
    void Apply(const Report& command);

    SimMobileNetwork MobileNetwork() const;
    SimWebUpload WebUpload() const;
    std::vector<std::string> TestMessages() const;

private:
    mutable std::mutex mutex_;  // protects everything below
    SimMobileNetwork mobile_;
    SimWebUpload web_;
    std::vector<std::string> testMessages_;
};

}  // namespace vorelle
