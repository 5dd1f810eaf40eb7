#include "console/ConsoleDoor.h"

#include "console/SimulatedDoor.h"
#include "console/UsbDoor.h"

#include <algorithm>

namespace vorelle {

bool IsConsoleControl(std::string_view name)
{
    return std::find(kConsoleControls.begin(), kConsoleControls.end(), name) != kConsoleControls.end();
}

std::unique_ptr<ConsoleDoor> MakeConsoleDoor(const ConsoleChoice& choice, double timeScale)
{
    switch (choice.kind) {
    case ConsoleKind::Simulated:
        return MakeSimulatedDoor(choice.station, timeScale);
    case ConsoleKind::Usb:
        break;
    }
    return std::make_unique<UsbDoor>(timeScale);
}

}  // namespace vorelle
