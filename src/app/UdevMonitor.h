#pragma once

#include "link/ConsoleLink.h"

#include <QObject>

struct udev;
struct udev_monitor;
class QSocketNotifier;

namespace vorelle {

// Tells when a HID interface (any hidraw node) arrives or leaves, like the
// device notifications the console's link listens for.
class UdevMonitor final : public QObject {
    Q_OBJECT

public:
    explicit UdevMonitor(QObject* parent = nullptr);
    ~UdevMonitor() override;

    // False when this machine offers no device events (no udev); the program
    // then goes on without hot-plugging.
    bool Start();

signals:
    void DeviceChanged(vorelle::DeviceEvent event);

private:
    void ReadEvent();

    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace vorelle
