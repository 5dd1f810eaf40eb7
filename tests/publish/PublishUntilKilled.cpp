// Publishes to the broker at the mqtt:// address URL as the device DEVICE-ID
// until it is killed, so that a test can see the broker's last will for it.
#include "publish/MqttPublisher.h"

#include <unistd.h>

int main(int argc, char** argv)
{
    std::string error;
    const std::optional<vorelle::MqttSettings> settings = argc == 3 ? vorelle::ParseMqttUrl(argv[1], error) : std::nullopt;
    if (!settings)
        return 64;
    vorelle::HideUrlPassword(argv[1]);
    vorelle::MqttPublisher publisher(*settings, {argv[2], "Station", "M402", ""});
    publisher.Publish({vorelle::LiveReadings().Current(), std::chrono::system_clock::now()});
    for (;;)
        pause();
}
