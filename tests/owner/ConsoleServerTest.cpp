#include "firmware/FirmwareTestSupport.h"
#include "owner/FrameLine.h"
#include "owner/LinkLoan.h"
#include "publish/ReadingJson.h"
#include "support/MqttBroker.h"
#include "support/ServedConsole.h"

#include <gtest/gtest.h>

namespace vorelle {
namespace {

using ConsoleServerTest = test::ServedConsoleFixture;

// The console sees the poll's pair of exchanges and nothing more: `live` is
// the latest reading of the program's poll, not a reading of its own.
TEST_F(ConsoleServerTest, LiveIsThePollsReadingWithNoExchangeOfItsOwn)
{
    for (int poll = 1; poll <= 2; ++poll) {
        beat.Advance(poll == 1 ? 1 : 9);
        const test::CliRun run = Cli("live --json");
        ASSERT_EQ(run.status, 0) << run.output;
        EXPECT_EQ(run.output, LiveJson(readings.Current(), true));
        EXPECT_EQ(Pairs(), static_cast<std::size_t>(poll));
        EXPECT_EQ(console.ReceivedCommands(CMD_READ_SETTING.code).size(), static_cast<std::size_t>(poll));
    }
}

struct BorrowCase {
    bool dialogOpen;
    const char* arguments;
    int status;
    std::string_view says;
};

void PrintTo(const BorrowCase& c, std::ostream* os) { *os << (c.dialogOpen ? "dialog open: " : "") << c.arguments; }

class BorrowTest : public test::ServedConsoleFixture, public ::testing::WithParamInterface<BorrowCase> {};

// Every command that talks to the console borrows the program's, unless a
// dialog of the program talks to it; an update opens it afresh once the
// bootloader has taken over.
TEST_P(BorrowTest, CommandsBorrowTheProgramsConsole)
{
    const BorrowCase c = GetParam();
    poller.DialogOpen = c.dialogOpen;
    const std::filesystem::path hex = folder.Write("firmware.hex", test::FirmwareHex(test::MakeFirmwareImage(4096)));
    std::string arguments = c.arguments;
    if (const std::size_t at = arguments.find("FILE"); at != std::string::npos)
        arguments.replace(at, 4, hex.string());
    const test::CliRun run = Cli(arguments);
    EXPECT_EQ(run.status, c.status) << run.output;
    EXPECT_NE(run.output.find(c.says), std::string::npos) << run.output;
    // The server hears the hang-up at its next look.
    EXPECT_TRUE(test::Eventually([&] { return !link.Lent(); }));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, BorrowTest,
    ::testing::Values(BorrowCase{true, "live", 1, kDialogOpenText},
                      BorrowCase{true, "settings show basic", 1, kDialogOpenText},
                      BorrowCase{true, "recordings list", 1, kDialogOpenText},
                      BorrowCase{false, "settings show basic --json", 0, "\"console\": \"simulated\""},
                      BorrowCase{false, "settings set alarm indoor-temp-high=28", 0, "Save Success"},
                      BorrowCase{false, "recordings list --json", 0, "\"files\""},
                      BorrowCase{false, "firmware FILE --yes", 0, "Update Success!"}));

// The poll waits while the link is lent, and goes on once the borrower hangs
// up, or falls silent.
TEST_F(ConsoleServerTest, ABorrowerThatGoesGivesTheLinkBack)
{
    beat.Advance();
    for (const bool hangUp : {true, false}) {
        SCOPED_TRACE(hangUp ? "hangs up" : "falls silent");
        std::string problem;
        std::optional<FrameLine> line = AskProgram(SocketPath(), frame::Hold, problem);
        ASSERT_TRUE(line) << problem;
        std::optional<LinkLoan> loan;
        Frame granted;
        if (hangUp)
            loan.emplace(std::move(*line));
        else
            ASSERT_TRUE(test::Eventually([&] { return line->Listen(std::chrono::milliseconds(100), granted) ==
                                                      FrameLine::Heard::Frame; }));
        ASSERT_TRUE(!loan || loan->Granted()) << loan->Refusal();
        const std::size_t pairs = Pairs();
        beat.Advance(10);
        EXPECT_EQ(Pairs(), pairs) << "no poll while the link is lent";
        loan.reset();
        ASSERT_TRUE(test::Eventually([&] { return !link.Lent(); }));
        beat.Advance();
        EXPECT_EQ(Pairs(), pairs + 1);
    }
}

}  // namespace
}  // namespace vorelle
