#pragma once

#include "link/Commands.h"
#include "link/HidTransport.h"
#include "link/ReplyRouter.h"
#include "support/SimLinkFixture.h"

#include <initializer_list>
#include <vector>

namespace vorelle::test {

// Declared as the first base so that it outlives the link: a screen-check
// answer that arrives after a test has given up on it still finds its flag.
struct ScreenFlagHolder {
    ScreenFlag flag{1};
};

// A settings dialog's view of the simulated console: the link, and the
// dialog's screen flag registered with the router.
class SettingsLinkFixture : protected ScreenFlagHolder, public SimLinkFixture {
protected:
    void SetUp() override
    {
        SimLinkFixture::SetUp();
        link.Router().AddScreenFlag(flag);
    }

    // The command codes the console received, in order.
    std::vector<std::uint8_t> ReceivedCodes() const
    {
        std::vector<std::uint8_t> codes;
        for (const Report& command : console.ReceivedCommands())
            codes.push_back(command[0]);
        return codes;
    }

    // The one command with `code` the console received.
    Report OnlyCommand(std::uint8_t code) const
    {
        const std::vector<Report> commands = console.ReceivedCommands(code);
        EXPECT_EQ(commands.size(), 1u);
        return commands.empty() ? Report{} : commands.front();
    }
};

// A zero-filled report with `code`, `length` and then `payload`.
inline Report Command(std::uint8_t code, std::uint8_t length, std::initializer_list<std::uint8_t> payload)
{
    Report report{};
    report[0] = code;
    report[1] = length;
    std::size_t at = 2;
    for (std::uint8_t byte : payload)
        report[at++] = byte;
    return report;
}

}  // namespace vorelle::test
