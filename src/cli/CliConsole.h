#pragma once

#include "link/ConsoleLink.h"
#include "link/HidTransport.h"
#include "sim/SimulatedConsole.h"

#include <functional>
#include <memory>

namespace vorelle {

// The console a command talks to: the one on USB, or the simulated one.
class CliConsole {
public:
    // `setUp` prepares the simulated console before its cable goes in.
    explicit CliConsole(bool simulate, const std::function<void(SimulatedConsole&)>& setUp = {});

    // Opens the console. Without one it says why on standard error.
    bool Open();
    ConsoleLink& Link() { return *link_; }

private:
    std::unique_ptr<SimulatedConsole> simulated_;
    std::unique_ptr<HidTransport> transport_;
    std::unique_ptr<ConsoleLink> link_;
};

}  // namespace vorelle
