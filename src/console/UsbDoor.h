#pragma once

#include "console/ConsoleDoor.h"
#include "console/UdevWatch.h"
#include "link/HidapiTransport.h"

namespace vorelle {

// The console on its USB cable: hidapi for the link, udev for the devices
// that come and go.
class UsbDoor final : public ConsoleDoor {
public:
    explicit UsbDoor(double timeScale = 1.0);
    ~UsbDoor() override;

    ConsoleLink& Link() override { return link_; }
    bool WatchDevices(DeviceListener listener) override;
    void StopWatchingDevices() override;
    std::optional<std::string> Control(std::string_view name) override;

private:
    HidapiTransport transport_;
    ConsoleLink link_;
    std::unique_ptr<UdevWatch> watch_;
};

}  // namespace vorelle
