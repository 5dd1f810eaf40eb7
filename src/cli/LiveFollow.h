#pragma once

#include "console/ConsoleDoor.h"

namespace vorelle {

// vorelle2-cli live --follow: prints each reading of the running program's
// poll as it comes, or, while no program owns the console, takes readings
// of `choice` itself at the program's pace; a console that goes away or
// comes back is told on a line of its own. Goes on until SIGINT or SIGTERM
// (status 0), the program ends (1) or the output cannot be written (74).
int FollowReadings(const ConsoleChoice& choice, bool json);

}  // namespace vorelle
