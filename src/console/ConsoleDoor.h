#pragma once

#include "console/StationOptions.h"
#include "link/ConsoleLink.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vorelle {

// What a run talks to.
enum class ConsoleKind {
    Usb,        // the console on its USB cable, through hidapi
    Simulated,  // the simulated console built into the program
};

struct ConsoleChoice {
    ConsoleKind kind = ConsoleKind::Usb;
    StationOptions station;  // how the simulated console is set up
};

// What a console may offer besides its link, by name (`vorelle2 --send
// NAME`): the simulated console's cable.
inline constexpr std::array<std::string_view, 2> kConsoleControls = {"plug", "unplug"};
bool IsConsoleControl(std::string_view name);

// Hears of each HID interface that arrives or leaves.
using DeviceListener = std::function<void(DeviceEvent)>;

// The console of one run behind one door: the link to it, the events that
// tell when a device comes and goes, and its controls. The program, its
// windows and vorelle2-cli see this, never what stands behind it.
class ConsoleDoor {
public:
    virtual ~ConsoleDoor() = default;

    virtual ConsoleLink& Link() = 0;

    // From now on `listener` hears of every HID interface that arrives or
    // leaves, on a thread of the door's (or the one that pulled the simulated
    // cable). False when this machine offers no device events; the run then
    // goes on without them. Until then the simulated console's cable reaches
    // the link at once, and USB goes unwatched: a command that runs once
    // notices a pulled console by its reads.
    virtual bool WatchDevices(DeviceListener listener) = 0;
    // From when this returns the listener hears of no more devices, and the
    // door is as it was before it was watched.
    virtual void StopWatchingDevices() = 0;

    // Runs the control `name`; what stood in the way, if anything.
    virtual std::optional<std::string> Control(std::string_view name) = 0;
};

// Builds what `choice` names. `timeScale` shortens every wait of the link
// (and of the simulated console) in proportion; the programs run at 1.
std::unique_ptr<ConsoleDoor> MakeConsoleDoor(const ConsoleChoice& choice, double timeScale = 1.0);

}  // namespace vorelle
