#pragma once

#include "link/ConsoleLink.h"

#include <functional>
#include <thread>

struct udev;
struct udev_monitor;

namespace vorelle {

// Tells when a HID interface (any hidraw node) arrives or leaves, as udev
// announces it, like the device notifications the console's link listens
// for. The listener is called on the watch's own thread.
class UdevWatch {
public:
    explicit UdevWatch(std::function<void(DeviceEvent)> listener);
    // Stops the thread: the listener is not called after this.
    ~UdevWatch();
    UdevWatch(const UdevWatch&) = delete;
    UdevWatch& operator=(const UdevWatch&) = delete;

    // False when this machine offers no device events (no udev).
    bool Started() const { return thread_.joinable(); }

private:
    void Run();
    void TellEvent();

    std::function<void(DeviceEvent)> listener_;
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    int stopFd_ = -1;  // an eventfd that wakes the thread to end
    std::thread thread_;
};

}  // namespace vorelle
