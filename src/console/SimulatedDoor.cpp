#include "console/SimulatedDoor.h"

namespace vorelle {

namespace {

// What a simulated door of its own holds: made before the door that talks
// through them, and gone after it.
struct SimulatedParts {
    SimulatedParts(const StationOptions& station, double timeScale)
        : console(timeScale), transport(console), link(transport, timeScale)
    {
        SetUpStation(station, console);
    }

    SimulatedConsole console;
    SimTransport transport;
    ConsoleLink link;
};

class OwnSimulatedDoor final : private SimulatedParts, public SimulatedDoor {
public:
    OwnSimulatedDoor(const StationOptions& station, double timeScale)
        : SimulatedParts(station, timeScale), SimulatedDoor(transport, link)
    {
    }
};

}  // namespace

void SetUpStation(const StationOptions& options, SimulatedConsole& console)
{
    const UnitCodes& u = options.units;
    console.SetUnitCodes(u.temperature, u.pressure, u.wind, u.rain, u.light);
    console.Weather().SetChannelCount(options.channels);
    if (options.cardDays)
        console.Card().SetDaysKept(*options.cardDays);
    if (options.clock)
        console.SetClock([at = *options.clock] { return at; });
    if (options.soilAndPm25) {
        console.Weather().SetSoilSensor(true);
        console.Weather().SetPm25Sensor(true);
    }
}

SimulatedDoor::SimulatedDoor(SimTransport& transport, ConsoleLink& link) : transport_(transport), link_(link)
{
    StopWatchingDevices();
}

SimulatedDoor::~SimulatedDoor() { transport_.SetPlugListener(nullptr); }

bool SimulatedDoor::WatchDevices(DeviceListener listener)
{
    transport_.SetPlugListener(std::move(listener));
    return true;
}

void SimulatedDoor::StopWatchingDevices()
{
    // Unwatched, the cable still reaches the link, as it does on its own
    // when a read fails.
    transport_.SetPlugListener([&link = link_](DeviceEvent event) { link.OnDeviceChange(event); });
}

std::optional<std::string> SimulatedDoor::Control(std::string_view name)
{
    if (name == "plug")
        transport_.Plug();
    else if (name == "unplug")
        transport_.Unplug();
    else
        return "the simulated console has no control '" + std::string(name) + "'";
    return std::nullopt;
}

std::unique_ptr<ConsoleDoor> MakeSimulatedDoor(const StationOptions& station, double timeScale)
{
    return std::make_unique<OwnSimulatedDoor>(station, timeScale);
}

}  // namespace vorelle
