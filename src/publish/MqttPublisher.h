#pragma once

#include "publish/Discovery.h"
#include "publish/MqttSettings.h"
#include "publish/ReadingJson.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace vorelle {

enum class PublisherState {
    Off,         // publishing is switched off, or its settings are wrong (the reason says how)
    Connecting,  // on its way to the broker
    Connected,   // publishing every reading
    Away,        // the broker cannot be reached; the latest reading waits
};

struct PublisherStatus {
    PublisherState state = PublisherState::Off;
    std::string broker;   // "host:port"
    std::string reason;   // why the broker is away or the settings are wrong (never the password)
    std::chrono::seconds retryIn{0};

    friend bool operator==(const PublisherStatus&, const PublisherStatus&) = default;
};

// The status in a sentence for the status bar and standard error.
std::string StatusText(const PublisherStatus& status);

// How long the publisher waits between its attempts, at most for an answer,
// and for its goodbye. Tests shorten them; the program keeps these.
struct PublisherTiming {
    std::chrono::milliseconds firstRetry{1000};  // doubled after each failure
    std::chrono::milliseconds longestRetry{60000};
    std::chrono::milliseconds connectTimeout{10000};
    std::chrono::milliseconds goodbyeTimeout{2000};
};

// Publishes the console's readings to an MQTT broker with Home Assistant's
// discovery, on a thread of its own. Publish() only hands the reading over,
// so the poll never waits for the network: only the latest reading waits to
// be sent, however long the broker is away. On each connection it announces
// "online" on the availability topic (retained; the broker's last will says
// "offline" when the program vanishes), then every quantity that has had a
// value since the start (again when the display units change), then the
// latest reading as the retained state. It reconnects after 1 s, doubling
// the wait up to a minute, and says "offline" itself when stopped.
class MqttPublisher {
public:
    // Called on the publisher's thread whenever the status changes.
    using StatusListener = std::function<void(const PublisherStatus&)>;

    // Starts publishing at once unless the settings are switched off or wrong.
    MqttPublisher(MqttSettings settings, PublishedDevice device, StatusListener listener = {},
                  PublisherTiming timing = {});
    // Stops, saying "offline" to the broker when connected.
    ~MqttPublisher();
    MqttPublisher(const MqttPublisher&) = delete;
    MqttPublisher& operator=(const MqttPublisher&) = delete;

    // Hands over a reading; returns at once, whatever the broker does.
    void Publish(const TimedReading& reading);

    PublisherStatus Status() const;

private:
    void Run();
    void Wake();
    std::optional<TimedReading> TakeNewReading();
    void SetStatus(PublisherStatus status);

    const MqttSettings settings_;
    const PublishedDevice device_;
    const StatusListener listener_;
    const PublisherTiming timing_;

    mutable std::mutex statusMutex_;  // protects status_
    PublisherStatus status_;

    std::mutex readingMutex_;  // protects newReading_
    std::optional<TimedReading> newReading_;

    std::atomic<bool> stopping_{false};
    std::atomic<bool> wakePending_{false};  // a byte is on its way through the wake pipe
    int wakeRead_ = -1;   // the publisher's thread sleeps on this end (set before the thread starts)
    int wakeWrite_ = -1;  // Publish() and the destructor write here
    std::thread thread_;  // last: it starts once everything above is ready
};

}  // namespace vorelle
