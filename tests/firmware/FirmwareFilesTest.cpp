#include "firmware/DownloadProgress.h"
#include "firmware/FirmwareImage.h"
#include "firmware/FirmwareTestSupport.h"
#include "support/NamedCase.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <optional>

namespace vorelle {
namespace {

struct ConvertCase : test::NamedCase {
    std::string text;
    std::string reason;  // empty: usable
};

std::string DamagedChecksum()
{
    std::string hex = test::FirmwareHex(test::MakeFirmwareImage(100));
    const std::size_t lineEnd = hex.find("\r\n", hex.find("\r\n") + 2);
    hex[lineEnd - 1] = hex[lineEnd - 1] == '0' ? '1' : '0';
    return hex;
}

class ConvertFirmwareTest : public ::testing::TestWithParam<ConvertCase> {};

// Only a converted image longer than the bootloader's own bytes is kept; any
// other result names the converter's verdict and leaves no image.
TEST_P(ConvertFirmwareTest, KeepsOnlyAnImageThatHoldsFirmware)
{
    test::TempFolder folder;
    const FirmwareFiles files = FirmwareFiles::In(folder.Path());
    folder.Write("Tempbin.hex", GetParam().text);
    EXPECT_EQ(ConvertFirmware(files.hex, files.image).problem, GetParam().reason);
    EXPECT_EQ(std::filesystem::exists(files.image), GetParam().reason.empty());
    files.Remove();
    EXPECT_FALSE(std::filesystem::exists(files.hex));
}

INSTANTIATE_TEST_SUITE_P(
    Files, ConvertFirmwareTest,
    ::testing::Values(
        ConvertCase{"OneByteOfFirmware", test::FirmwareHex(test::MakeFirmwareImage(1)), ""},
        ConvertCase{"BootloaderOnly", test::FirmwareHex(test::MakeFirmwareImage(0)),
                    "its image is 12288 bytes, no longer than the bootloader's own 12288, so it holds no firmware "
                    "(converter result 0)"},
        ConvertCase{"AtAddressZero", FormatHexImage(0, test::MakeFirmwareImage(1)), ""},
        ConvertCase{"CutAtALineEnd", test::WithoutEndRecord(test::FirmwareHex(test::MakeFirmwareImage(100))),
                    "it does not end with its end-of-file record (type 01), so it may have been cut short "
                    "(converter result 0)"},
        ConvertCase{"AboveTheFlashStart", FormatHexImage(0x08003000, test::MakeFirmwareImage(1)),
                    "its data start at address 0x08003000, not where the flash starts (0x00000000 or 0x08000000), "
                    "so it would be written out of place (converter result 0)"},
        ConvertCase{"DamagedChecksum", DamagedChecksum(),
                    "a record's checksum does not match: the file is damaged (converter result 5)"},
        ConvertCase{"HtmlPage", "<!DOCTYPE html><html><body>Not here</body></html>",
                    "not a HEX firmware file: it is empty, a line does not start with ':', or it holds no data "
                    "(converter result 1)"}),
    test::CaseName{});

struct PercentCase : test::NamedCase {
    std::int64_t received;
    std::int64_t total;
    std::optional<int> percent;
    std::string status;
};

class DownloadPercentTest : public ::testing::TestWithParam<PercentCase> {};

// The percentage never divides by an unknown or zero total, truncates, and
// never passes 100 whatever the server sends.
TEST_P(DownloadPercentTest, ShowsAPercentageOnlyOfAKnownTotal)
{
    EXPECT_EQ(DownloadPercent(GetParam().received, GetParam().total), GetParam().percent);
    EXPECT_EQ(DownloadStatusText(GetParam().received, GetParam().total), GetParam().status);
}

INSTANTIATE_TEST_SUITE_P(Totals, DownloadPercentTest,
                         ::testing::Values(PercentCase{"ZeroTotal", 0, 0, std::nullopt, "Download......"},
                                           PercentCase{"UnknownTotal", 500, -1, std::nullopt, "Download......"},
                                           PercentCase{"NothingYet", 0, 3, 0, "Download......0%"},
                                           PercentCase{"Truncated", 2, 3, 66, "Download......66%"},
                                           PercentCase{"All", 3, 3, 100, "Download......100%"},
                                           PercentCase{"MoreThanTheTotal", 9, 3, 100, "Download......100%"}),
                         test::CaseName{});

}  // namespace
}  // namespace vorelle
