#include "console/UdevWatch.h"

#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace vorelle {

UdevWatch::UdevWatch(std::function<void(DeviceEvent)> listener) : listener_(std::move(listener))
{
    udev_ = udev_new();
    monitor_ = udev_ ? udev_monitor_new_from_netlink(udev_, "udev") : nullptr;
    if (!monitor_ || udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0)
        return;
    stopFd_ = eventfd(0, EFD_CLOEXEC);
    if (stopFd_ >= 0)
        thread_ = std::thread(&UdevWatch::Run, this);
}

UdevWatch::~UdevWatch()
{
    if (thread_.joinable()) {
        const std::uint64_t one = 1;
        // An eventfd takes an 8-byte write unless its counter is full, which
        // one write never makes it.
        [[maybe_unused]] const ssize_t written = write(stopFd_, &one, sizeof one);
        thread_.join();
    }
    if (stopFd_ >= 0)
        close(stopFd_);
    if (monitor_)
        udev_monitor_unref(monitor_);
    if (udev_)
        udev_unref(udev_);
}

void UdevWatch::Run()
{
    pollfd watched[2] = {{udev_monitor_get_fd(monitor_), POLLIN, 0}, {stopFd_, POLLIN, 0}};
    for (;;) {
        if (poll(watched, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (watched[1].revents != 0)
            return;
        if (watched[0].revents & POLLIN)
            TellEvent();
        else if (watched[0].revents != 0)
            return;  // the monitor's socket failed: no more events will come
    }
}

void UdevWatch::TellEvent()
{
    udev_device* device = udev_monitor_receive_device(monitor_);
    if (!device)
        return;
    const char* action = udev_device_get_action(device);
    if (action && std::strcmp(action, "add") == 0)
        listener_(DeviceEvent::Arrival);
    else if (action && std::strcmp(action, "remove") == 0)
        listener_(DeviceEvent::Removal);
    udev_device_unref(device);
}

}  // namespace vorelle
