#include "publish/MqttPublisher.h"

#include "board/BoardTexts.h"
#include "publish/MqttClient.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace vorelle {

namespace {

using PublishClock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kLongestSleep{1000};  // the keep-alive needs a look once a second

// What Home Assistant is told about the quantities. Used on the publisher's
// thread only.
class Announcements {
public:
    // Notes the quantities of a reading that have a value.
    void Saw(const LiveReadings::Snapshot& snapshot)
    {
        for (const QuantityReading& q : QuantityReadings(snapshot)) {
            const auto seen = [&](const auto& entry) { return entry.first == q.key; };
            if (!q.missing && std::none_of(seen_.begin(), seen_.end(), seen))
                seen_.emplace_back(std::string(q.key), q.name);
        }
    }

    void NewConnection()
    {
        announced_.clear();
        units_.reset();
    }

    // The quantities seen but not yet announced on this connection in these
    // units: after a change of units, all of them again.
    std::vector<MqttMessage> Due(const UnitCodes& units, const PublishedDevice& device, const PublishedTopics& topics)
    {
        if (units_ != units) {
            announced_.clear();
            units_ = units;
        }
        std::vector<MqttMessage> due;
        for (const auto& [key, name] : seen_)
            if (announced_.insert(key).second)
                due.push_back(DiscoveryMessage(key, name, units, device, topics));
        return due;
    }

private:
    std::vector<std::pair<std::string, std::string>> seen_;  // key and name, in the board's order
    std::set<std::string> announced_;
    std::optional<UnitCodes> units_;
};

int MillisecondsUntil(PublishClock::time_point moment)
{
    const auto left = std::chrono::ceil<milliseconds>(moment - PublishClock::now());
    return static_cast<int>(std::clamp(left, milliseconds(0), kLongestSleep).count());
}

}  // namespace

std::string StatusText(const PublisherStatus& status)
{
    switch (status.state) {
    case PublisherState::Off: return "Publishing to MQTT is off" + (status.reason.empty() ? "" : ": " + status.reason);
    case PublisherState::Connecting: return "Connecting to the MQTT broker " + status.broker;
    case PublisherState::Connected: return "Publishing to the MQTT broker " + status.broker;
    case PublisherState::Away: break;
    }
    return "The MQTT broker " + status.broker + " is away (" + status.reason +
           "): the latest reading waits, next try in " + std::to_string(status.retryIn.count()) + " s";
}

MqttPublisher::MqttPublisher(MqttSettings settings, PublishedDevice device, StatusListener listener,
                             PublisherTiming timing)
    : settings_(std::move(settings)), device_(std::move(device)), listener_(std::move(listener)), timing_(timing)
{
    if (!settings_.enabled)
        return;
    // Told by Status() only: the listener hears from the publisher's thread.
    status_.broker = BrokerName(settings_);
    status_.reason = CheckMqttSettings(settings_);
    int ends[2];
    if (status_.reason.empty() && pipe2(ends, O_NONBLOCK | O_CLOEXEC) != 0)
        status_.reason = std::strerror(errno);
    if (!status_.reason.empty())
        return;
    status_.state = PublisherState::Connecting;
    wakeRead_ = ends[0];
    wakeWrite_ = ends[1];
    thread_ = std::thread([this] { Run(); });
}

MqttPublisher::~MqttPublisher()
{
    if (thread_.joinable()) {
        stopping_ = true;
        const char byte = 0;
        [[maybe_unused]] const ssize_t ignored = write(wakeWrite_, &byte, 1);
        thread_.join();
    }
    for (const int end : {wakeRead_, wakeWrite_})
        if (end >= 0)
            close(end);
}

void MqttPublisher::Publish(const TimedReading& reading)
{
    if (!thread_.joinable())
        return;
    {
        std::lock_guard lock(readingMutex_);
        newReading_ = reading;
    }
    Wake();
}

void MqttPublisher::Wake()
{
    // One byte wakes the thread however many readings come before it looks.
    if (!wakePending_.exchange(true)) {
        const char byte = 0;
        [[maybe_unused]] const ssize_t ignored = write(wakeWrite_, &byte, 1);
    }
}

PublisherStatus MqttPublisher::Status() const
{
    std::lock_guard lock(statusMutex_);
    return status_;
}

void MqttPublisher::SetStatus(PublisherStatus status)
{
    {
        std::lock_guard lock(statusMutex_);
        if (status_ == status)
            return;
        status_ = status;
    }
    if (listener_)
        listener_(status);
}

std::optional<TimedReading> MqttPublisher::TakeNewReading()
{
    std::lock_guard lock(readingMutex_);
    return std::exchange(newReading_, std::nullopt);
}

void MqttPublisher::Run()
{
    const PublishedTopics topics = TopicsFor(settings_.topicPrefix, device_);
    const MqttMessage online{topics.availability, std::string(kOnline)};
    const MqttMessage offline{topics.availability, std::string(kOffline)};
    const std::string broker = BrokerName(settings_);
    Announcements announcements;
    std::optional<TimedReading> latest;
    bool stateDue = false;
    std::unique_ptr<MqttClient> client;
    milliseconds retry = timing_.firstRetry;
    PublishClock::time_point retryAt = PublishClock::now();
    PublishClock::time_point answerBy;

    while (!stopping_) {
        if (!client && PublishClock::now() >= retryAt) {
            SetStatus({PublisherState::Connecting, broker, {}, {}});
            client = std::make_unique<MqttClient>(settings_, device_.id, offline);
            answerBy = PublishClock::now() + timing_.connectTimeout;
            announcements.NewConnection();
        }
        const bool connecting = client && client->CurrentState() == MqttClient::State::Connecting;
        pollfd waits[2] = {{wakeRead_, POLLIN, 0}, {client ? client->Socket() : -1, POLLIN, 0}};
        if (client && client->WantsToWrite())
            waits[1].events |= POLLOUT;
        poll(waits, 2, MillisecondsUntil(!client ? retryAt : connecting ? answerBy : PublishClock::now() + kLongestSleep));
        if (waits[0].revents) {
            char drained[64];
            while (read(wakeRead_, drained, sizeof drained) > 0) {
            }
            wakePending_ = false;
        }
        if (std::optional<TimedReading> reading = TakeNewReading()) {
            latest = std::move(reading);
            announcements.Saw(latest->snapshot);
            stateDue = true;
        }
        if (!client || stopping_)
            continue;

        const bool wasConnected = client->CurrentState() == MqttClient::State::Connected;
        client->Pump(waits[1].revents & (POLLIN | POLLHUP | POLLERR), waits[1].revents & POLLOUT);
        const MqttClient::State state = client->CurrentState();
        if (state == MqttClient::State::Connected) {
            if (!wasConnected) {
                client->Publish(online);
                SetStatus({PublisherState::Connected, broker, {}, {}});
                retry = timing_.firstRetry;
                stateDue = latest.has_value();
            }
            // A reading waits while the previous one is still being written,
            // so a slow broker never makes the queue grow.
            if (stateDue && !client->WantsToWrite()) {
                for (const MqttMessage& message :
                     announcements.Due(latest->snapshot.values.units, device_, topics))
                    client->Publish(message);
                client->Publish({topics.state, StateJson(*latest)});
                stateDue = false;
            }
        }
        const bool late = state == MqttClient::State::Connecting && PublishClock::now() >= answerBy;
        if (state == MqttClient::State::Failed || late) {
            const std::string reason =
                late ? "no answer within " + std::to_string(timing_.connectTimeout.count() / 1000) + " s"
                     : client->FailureReason();
            client.reset();
            SetStatus({PublisherState::Away, broker, reason,
                       std::chrono::ceil<std::chrono::seconds>(retry)});
            retryAt = PublishClock::now() + retry;
            retry = std::min(retry * 2, timing_.longestRetry);
        }
    }

    if (client && client->CurrentState() == MqttClient::State::Connected) {
        // Goodbye: "offline" acknowledged, then the disconnect, within a time.
        // Should the time run out, the broker's last will says it instead.
        const PublishClock::time_point giveUp = PublishClock::now() + timing_.goodbyeTimeout;
        client->Publish(offline);
        while (client->CurrentState() == MqttClient::State::Connected && PublishClock::now() < giveUp) {
            if (client->AllAcknowledged()) {
                client->Disconnect();
                break;
            }
            pollfd wait{client->Socket(), static_cast<short>(POLLIN | (client->WantsToWrite() ? POLLOUT : 0)), 0};
            poll(&wait, 1, MillisecondsUntil(giveUp));
            client->Pump(wait.revents & (POLLIN | POLLHUP | POLLERR), wait.revents & POLLOUT);
        }
    }
    SetStatus({PublisherState::Off, broker, {}, {}});
}

}  // namespace vorelle
