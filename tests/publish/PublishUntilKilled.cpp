// Publishes to the broker at 127.0.0.1:PORT as the device DEVICE-ID until it
// is killed, so that a test can see the broker's last will for it.
#include "publish/MqttPublisher.h"

#include <unistd.h>

#include <string>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 64;
    vorelle::MqttSettings settings;
    settings.enabled = true;
    settings.host = "127.0.0.1";
    settings.port = std::stoi(argv[1]);
    vorelle::MqttPublisher publisher(settings, {argv[2], "Station", "M402", ""});
    publisher.Publish({vorelle::LiveReadings().Current(), std::chrono::system_clock::now()});
    for (;;)
        pause();
}
