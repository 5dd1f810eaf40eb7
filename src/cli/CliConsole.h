#pragma once

#include "link/ConsoleLink.h"
#include "sim/SimTransport.h"
#include "sim/SimulatedConsole.h"

#include <memory>

namespace vorelle {

// The console a command talks to: over USB, or the simulated one, whose
// cable events reach the link at once as device notifications do in the
// program.
class CliConsole {
public:
    explicit CliConsole(bool simulate);
    ~CliConsole();
    CliConsole(const CliConsole&) = delete;
    CliConsole& operator=(const CliConsole&) = delete;

    // The simulated console, to set up before Open; null over USB.
    SimulatedConsole* Simulated() { return simulated_.get(); }
    ConsoleLink& Link() { return *link_; }

    // Opens the console; when there is none that can be opened, says why on
    // standard error and returns false.
    bool Open();

private:
    std::unique_ptr<SimulatedConsole> simulated_;
    std::unique_ptr<HidTransport> transport_;
    SimTransport* simulation_ = nullptr;
    std::unique_ptr<ConsoleLink> link_;
};

}  // namespace vorelle
