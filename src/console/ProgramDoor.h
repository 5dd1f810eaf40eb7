#pragma once

#include "console/ConsoleDoor.h"

#include <memory>
#include <string>

namespace vorelle {

// What the program that owns the console on this data folder answered when a
// command of vorelle2-cli asked to borrow it.
struct BorrowedConsole {
    bool programRuns = false;           // a program listens on the console socket
    std::unique_ptr<ConsoleDoor> door;  // its console, lent until the door goes
    std::string refusal;                // why the program would not lend it (a dialog is open, ...)
};

// Asks the program listening on the console socket at `socketPath` for its
// console. Through the door's link every command is written by the program
// and every report the console sends comes back, so that a command runs as
// it does on a console of its own; the program's poll waits meanwhile.
BorrowedConsole BorrowProgramConsole(const std::string& socketPath, double timeScale = 1.0);

}  // namespace vorelle
