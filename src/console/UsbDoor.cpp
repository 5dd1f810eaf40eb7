#include "console/UsbDoor.h"

namespace vorelle {

UsbDoor::UsbDoor(double timeScale) : link_(transport_, timeScale) {}

// The watch goes first: its thread may be telling of a device.
UsbDoor::~UsbDoor() { StopWatchingDevices(); }

bool UsbDoor::WatchDevices(DeviceListener listener)
{
    StopWatchingDevices();
    watch_ = std::make_unique<UdevWatch>(std::move(listener));
    return watch_->Started();
}

void UsbDoor::StopWatchingDevices() { watch_.reset(); }

std::optional<std::string> UsbDoor::Control(std::string_view name)
{
    return "'" + std::string(name) + "' pulls the simulated console's cable; start with --simulate";
}

}  // namespace vorelle
