#include "app/UdevMonitor.h"

#include <libudev.h>

#include <QSocketNotifier>

#include <cstring>

namespace vorelle {

UdevMonitor::UdevMonitor(QObject* parent) : QObject(parent) {}

UdevMonitor::~UdevMonitor()
{
    if (monitor_)
        udev_monitor_unref(monitor_);
    if (udev_)
        udev_unref(udev_);
}

bool UdevMonitor::Start()
{
    udev_ = udev_new();
    if (!udev_)
        return false;
    monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    if (!monitor_ || udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0)
        return false;
    notifier_ = new QSocketNotifier(udev_monitor_get_fd(monitor_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &UdevMonitor::ReadEvent);
    return true;
}

void UdevMonitor::ReadEvent()
{
    udev_device* device = udev_monitor_receive_device(monitor_);
    if (!device)
        return;
    const char* action = udev_device_get_action(device);
    if (action && std::strcmp(action, "add") == 0)
        emit DeviceChanged(DeviceEvent::Arrival);
    else if (action && std::strcmp(action, "remove") == 0)
        emit DeviceChanged(DeviceEvent::Removal);
    udev_device_unref(device);
}

}  // namespace vorelle
