#pragma once

#include "link/ConsoleLink.h"
#include "sim/SimTransport.h"
#include "sim/SimulatedConsole.h"

#include <gtest/gtest.h>

#include <chrono>

namespace vorelle::test {

// Every wait of the link and of the console runs at this fraction of its real
// length, so that a 2000 ms reply wait takes 100 ms.
inline constexpr double kTestTimeScale = 0.05;

// A simulated console on its own transport, and the link that talks to it.
class SimLinkFixture : public ::testing::Test {
protected:
    SimLinkFixture() : console(kTestTimeScale), transport(console), link(transport, kTestTimeScale) {}

    void SetUp() override { ASSERT_TRUE(link.Open()); }

    // The table time `ms` as the link waits it.
    std::chrono::milliseconds Scaled(int ms) const { return link.Link().Scaled(ms); }

    SimulatedConsole console;
    SimTransport transport;
    ConsoleLink link;
};

}  // namespace vorelle::test
