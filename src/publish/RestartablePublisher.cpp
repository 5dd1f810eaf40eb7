#include "publish/RestartablePublisher.h"

#include <utility>

namespace vorelle {

RestartablePublisher::RestartablePublisher(PublishedDevice device, std::function<void()> statusChanged)
    : device_(std::move(device)), statusChanged_(std::move(statusChanged))
{
}

RestartablePublisher::~RestartablePublisher() = default;

void RestartablePublisher::Restart(const MqttSettings& settings)
{
    auto next = std::make_unique<MqttPublisher>(settings, device_, [this](const PublisherStatus&) {
        if (statusChanged_)
            statusChanged_();
    });
    {
        std::lock_guard lock(mutex_);
        std::swap(publisher_, next);
    }
    next.reset();
    // A publisher that is off from the start tells no listener.
    if (statusChanged_)
        statusChanged_();
}

void RestartablePublisher::Publish(const TimedReading& reading)
{
    std::lock_guard lock(mutex_);
    if (publisher_)
        publisher_->Publish(reading);
}

PublisherStatus RestartablePublisher::Status() const
{
    std::lock_guard lock(mutex_);
    return publisher_ ? publisher_->Status() : PublisherStatus{};
}

}  // namespace vorelle
