#pragma once

#include "publish/MqttPublisher.h"

#include <functional>
#include <memory>
#include <mutex>

namespace vorelle {

// The publisher of a running program, started again whenever its settings
// change while the poll thread goes on handing it readings.
class RestartablePublisher {
public:
    // `statusChanged` is called, on a publisher's thread, whenever the status
    // of the current publisher may have changed: ask Status().
    RestartablePublisher(PublishedDevice device, std::function<void()> statusChanged);
    ~RestartablePublisher();
    RestartablePublisher(const RestartablePublisher&) = delete;
    RestartablePublisher& operator=(const RestartablePublisher&) = delete;

    // Publishes with `settings` from now on. The publisher before is stopped
    // after it has been taken out of the poll's way: its goodbye to its broker
    // (up to a few seconds) holds the caller, never the poll.
    void Restart(const MqttSettings& settings);

    // Hands the reading to the current publisher; returns at once.
    void Publish(const TimedReading& reading);

    PublisherStatus Status() const;
    const PublishedDevice& Device() const { return device_; }

private:
    const PublishedDevice device_;
    const std::function<void()> statusChanged_;
    mutable std::mutex mutex_;  // protects publisher_ (the pointer; the publisher locks its own state)
    std::unique_ptr<MqttPublisher> publisher_;
};

}  // namespace vorelle
