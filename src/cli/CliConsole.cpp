#include "cli/CliConsole.h"

#include "link/HidapiTransport.h"
#include "sim/SimTransport.h"

#include <cstdio>

namespace vorelle {

CliConsole::CliConsole(bool simulate, const std::function<void(SimulatedConsole&)>& setUp)
{
    if (simulate) {
        simulated_ = std::make_unique<SimulatedConsole>();
        if (setUp)
            setUp(*simulated_);
        transport_ = std::make_unique<SimTransport>(*simulated_);
    } else {
        transport_ = std::make_unique<HidapiTransport>();
    }
    link_ = std::make_unique<ConsoleLink>(*transport_);
}

bool CliConsole::Open()
{
    if (link_->Open())
        return true;
    if (const std::optional<OpenProblem> problem = link_->Link().LastOpenProblem()) {
        std::fprintf(stderr, "vorelle2-cli: %s\n", DescribeOpenProblem(*problem).c_str());
        return false;
    }
    std::fprintf(stderr,
                 "vorelle2-cli: no console found (USB 0483:5750). Is it plugged in, and may this user open its "
                 "hidraw device? Try --simulate to see the simulated console.\n");
    return false;
}

}  // namespace vorelle
