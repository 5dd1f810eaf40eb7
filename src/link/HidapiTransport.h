#pragma once

#include "link/HidTransport.h"

namespace vorelle {

// Real USB hardware through hidapi (hidraw back end on Linux).
class HidapiTransport final : public HidTransport {
public:
    HidapiTransport();
    ~HidapiTransport() override;
    HidapiTransport(const HidapiTransport&) = delete;
    HidapiTransport& operator=(const HidapiTransport&) = delete;

    std::vector<HidDeviceInfo> Enumerate() override;
    std::unique_ptr<HidDevice> OpenPath(const std::string& path, std::string* error = nullptr) override;
};

}  // namespace vorelle
