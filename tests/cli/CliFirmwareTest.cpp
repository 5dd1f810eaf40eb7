#include "support/CliRun.h"
#include "firmware/FirmwareTestSupport.h"
#include "support/NamedCase.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace vorelle {
namespace {

using test::CliRun;
using test::RunCli;

struct FirmwareRunCase : test::NamedCase {
    std::string file;  // written as fw.hex
    std::string arguments;
    int status;
    std::string says;
    std::string command = "firmware";
};

std::string Damaged()
{
    std::string hex = test::FirmwareHex(test::MakeFirmwareImage(100));
    hex[hex.find("\r\n", hex.find("\r\n") + 2) - 1] ^= 1;
    return hex;
}

class CliFirmwareTest : public ::testing::TestWithParam<FirmwareRunCase> {};

// Exit 0 only once the console's read-back agrees; a file that cannot be
// used ends before the console is touched, and without --yes nothing is sent.
TEST_P(CliFirmwareTest, WritesOnlyWhatChecksOutAndSaysHowItEnded)
{
    test::TempFolder folder;
    const std::string file = folder.Write("fw.hex", GetParam().file).string();
    const CliRun run = RunCli(GetParam().command + " " + file + " " + GetParam().arguments, true);
    EXPECT_EQ(run.status, GetParam().status) << run.output;
    EXPECT_NE(run.output.find(GetParam().says), std::string::npos) << run.output;
}

const std::string kGood = test::FirmwareHex(test::MakeFirmwareImage(100));

INSTANTIATE_TEST_SUITE_P(
    Runs, CliFirmwareTest,
    ::testing::Values(
        FirmwareRunCase{"Verified", kGood, "--simulate --yes", 0,
                        "Update Success! The console holds " /* then the file */},
        FirmwareRunCase{"WithoutYesSendsNothing", kGood, "--simulate", 0,
                        "of which the 100 after the bootloader's own go in 2 blocks, each read back before the new "
                        "firmware is started. Nothing was sent; add --yes to do it."},
        FirmwareRunCase{"DamagedFileSendsNothing", Damaged(), "--simulate --yes", 2,
                        "a record's checksum does not match: the file is damaged (converter result 5). Nothing was "
                        "sent to the console."},
        FirmwareRunCase{"NoFirmwareInTheFile", test::FirmwareHex(test::MakeFirmwareImage(0)), "--simulate --yes", 2,
                        "so it holds no firmware (converter result 0). Nothing was sent to the console."},
        FirmwareRunCase{"CutAtALineEnd", test::WithoutEndRecord(kGood), "--simulate --yes", 2,
                        "it does not end with its end-of-file record (type 01), so it may have been cut short "
                        "(converter result 0). Nothing was sent to the console."},
        FirmwareRunCase{"AboveTheFlashStart", FormatHexImage(0x3000, test::MakeFirmwareImage(100)),
                        "--simulate --yes", 2, "its data start at address 0x00003000, not where the flash starts"},
        FirmwareRunCase{"WithoutYesNamesTheAddresses", kGood, "--simulate", 0,
                        "holds data from address 0x08000000 to 0x08003063."},
        FirmwareRunCase{"Hex2BinWarnsOfWhatAnUpdateRefuses", test::WithoutEndRecord(kGood), "/dev/null", 0,
                        "is no firmware for the console: it does not end with its end-of-file record", "hex2bin"},
        FirmwareRunCase{"FileAndDownloadTogether", kGood, "--download --simulate --yes", 64,
                        "name a firmware file or --download, not both"},
        FirmwareRunCase{"UnknownOption", kGood, "--force", 64, "unknown option '--force'"}),
    test::CaseName{});

TEST(CliFirmwareCommandTest, DownloadWithoutAServerFailsBeforeAnythingIsSent)
{
    const CliRun run = RunCli("firmware --download --simulate --yes", true);
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.output.find("Download Fail: no update server is set"), std::string::npos) << run.output;
}

}  // namespace
}  // namespace vorelle
