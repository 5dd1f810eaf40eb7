#pragma once

#include "console/ConsoleDoor.h"
#include "sim/SimTransport.h"
#include "sim/SimulatedConsole.h"

#include <memory>

namespace vorelle {

// Sets `console` up as the station options say.
void SetUpStation(const StationOptions& options, SimulatedConsole& console);

// The simulated console behind `transport`, talked to through `link`: its
// cable is the door's control, and plugging it in or pulling it are the
// device events.
class SimulatedDoor : public ConsoleDoor {
public:
    SimulatedDoor(SimTransport& transport, ConsoleLink& link);
    ~SimulatedDoor() override;
    SimulatedDoor(const SimulatedDoor&) = delete;
    SimulatedDoor& operator=(const SimulatedDoor&) = delete;

    ConsoleLink& Link() override { return link_; }
    bool WatchDevices(DeviceListener listener) override;
    void StopWatchingDevices() override;
    std::optional<std::string> Control(std::string_view name) override;

private:
    SimTransport& transport_;
    ConsoleLink& link_;
};

// A simulated console of its own, set up as `station` says, with its
// transport and link.
std::unique_ptr<ConsoleDoor> MakeSimulatedDoor(const StationOptions& station, double timeScale);

}  // namespace vorelle
