#include "firmware/BootloaderBlocks.h"
#include "firmware/FirmwareUpdate.h"
#include "firmware/FirmwareTestSupport.h"
#include "support/NamedCase.h"
#include "support/SimLinkFixture.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace vorelle {
namespace {

using test::MakeFirmwareImage;

// Everything an update shows the owner, as it came.
class RecordingObserver final : public UpdateObserver {
public:
    void OnStatus(const std::string& text) override
    {
        std::lock_guard lock(mutex_);
        statuses.push_back(text);
    }
    void OnProgress(std::uint64_t position, std::uint64_t range) override
    {
        std::lock_guard lock(mutex_);
        positions.push_back(position);
        this->range = range;
    }

    std::mutex mutex_;
    std::vector<std::string> statuses;
    std::vector<std::uint64_t> positions;
    std::uint64_t range = 0;
};

// The simulated console, whose cable events reach the link at once as device
// notifications do, and the update's working files.
class FirmwareUpdateTest : public test::SimLinkFixture {
protected:
    // 17 full blocks and a short one.
    static constexpr std::size_t kFirmwareBytes = 1000;

    FirmwareUpdateTest() : files(FirmwareFiles::In(folder.Path())), image(MakeFirmwareImage(kFirmwareBytes))
    {
        transport.SetPlugListener([this](DeviceEvent event) { link.OnDeviceChange(event); });
        folder.Write("Tempbin.hex", "the downloaded text");
        test::WriteBytes(files.image, image.data(), image.size());
    }
    ~FirmwareUpdateTest() override { transport.SetPlugListener(nullptr); }

    UpdateResult Update(UpdateOptions options = {}) { return UpdateFromFiles(link, files, observer, options); }

    // The console's flash holds the image after the bootloader's own bytes,
    // and erased flash after it.
    void ExpectFlashHoldsImage()
    {
        const std::vector<std::uint8_t> flash = console.Bootloader().Flash();
        ASSERT_GE(flash.size(), image.size());
        EXPECT_TRUE(std::equal(image.begin() + kBootloaderBytes, image.end(), flash.begin() + kBootloaderBytes));
        EXPECT_TRUE(std::all_of(flash.begin() + static_cast<std::ptrdiff_t>(image.size()), flash.end(),
                                [](std::uint8_t byte) { return byte == 0xFF; }));
    }

    test::TempFolder folder;
    FirmwareFiles files;
    std::vector<std::uint8_t> image;
    RecordingObserver observer;
};

TEST_F(FirmwareUpdateTest, ConsoleHoldsTheImageOnlyAfterTheReadBackAgrees)
{
    const UpdateResult result = Update();
    EXPECT_EQ(result.end, UpdateEnd::Verified);
    EXPECT_EQ(result.message, "Update Success!");
    ExpectFlashHoldsImage();
    EXPECT_FALSE(console.InBootloader()) << "told to start the new firmware";
    EXPECT_FALSE(std::filesystem::exists(files.hex));
    EXPECT_FALSE(std::filesystem::exists(files.image));

    const std::vector<Report> sent = console.ReceivedCommands();
    const BlockLayout layout(image.size());
    ASSERT_EQ(sent.size(), 3 + 2 * layout.Count() + 2);
    EXPECT_EQ(sent.front()[0], CMD_ENTER_BOOT.code);
    EXPECT_EQ(sent[1][0], CMD_SOFT_VER.code);
    EXPECT_EQ(sent[2][0], CMD_ERASE_DEVICE.code);
    EXPECT_EQ(Report(sent[3]), WriteBlockCommand(layout.At(0), image));
    EXPECT_EQ(std::vector<std::uint8_t>(sent[3].begin(), sent[3].begin() + 6),
              (std::vector<std::uint8_t>{0x83, 0x00, 0x18, 0x00, 0x00, 56}));
    EXPECT_EQ(sent[3 + layout.Count()][0], CMD_WRITE_END.code);
    EXPECT_EQ(sent[4 + layout.Count()], ReadBlockCommand(layout.At(0)));
    EXPECT_EQ(sent.back()[0], CMD_RUN_APP.code);

    EXPECT_EQ(observer.statuses, (std::vector<std::string>{"Vorelle Bootloader V1.03", "OK"}));
    EXPECT_EQ(observer.range, 2 * kFirmwareBytes);
    ASSERT_FALSE(observer.positions.empty());
    EXPECT_EQ(observer.positions[layout.Count() - 1], 17 * 56u) << "the last block of the write pass";
    EXPECT_EQ(observer.positions[layout.Count()], kFirmwareBytes) << "the read-back pass starts at n";
    EXPECT_EQ(observer.positions.back(), 2 * kFirmwareBytes);
}

struct FaultCase : test::NamedCase {
    std::function<void(SimBootloaderFaults&)> set;
    UpdateEnd end;
    std::string message;
};

class FirmwareFaultTest : public FirmwareUpdateTest, public ::testing::WithParamInterface<FaultCase> {};

// Each thing that goes wrong in the console ends the update with its message;
// the new firmware is never started, and the files stay for another try.
TEST_P(FirmwareFaultTest, EndsInItsMessageWithoutStartingTheFirmware)
{
    GetParam().set(console.Bootloader().Faults());
    const UpdateResult result = Update();
    EXPECT_EQ(result.end, GetParam().end);
    EXPECT_EQ(result.message, GetParam().message);
    EXPECT_FALSE(result.Verified());
    EXPECT_TRUE(console.ReceivedCommands(CMD_RUN_APP.code).empty());
    EXPECT_TRUE(std::filesystem::exists(files.hex));
    EXPECT_TRUE(std::filesystem::exists(files.image));
    EXPECT_EQ(std::count(observer.statuses.begin(), observer.statuses.end(), "OK"), 0);
}

const std::string kMismatch = "Update failed: the console's memory does not match the image.";
const std::string kGone = "Update failed: the connection to the console was lost.";

INSTANTIATE_TEST_SUITE_P(
    EveryFault, FirmwareFaultTest,
    ::testing::Values(
        FaultCase{"EntryIgnored", [](auto& f) { f.ignoreEntry = true; }, UpdateEnd::NotBootloader, "Error1!"},
        FaultCase{"NameInLowerCase", [](auto& f) { f.lowerCaseName = true; }, UpdateEnd::NotBootloader, "Error1!"},
        FaultCase{"Silent", [](auto& f) { f.silent = true; }, UpdateEnd::VersionTimeout, "CMD_SOFT_VER Timeout"},
        FaultCase{"EraseFails", [](auto& f) { f.eraseFails = true; }, UpdateEnd::EraseFailed, "Error2!"},
        FaultCase{"EraseSlowerThanItsWait", [](auto& f) { f.eraseMs = 20000; }, UpdateEnd::EraseTimeout,
                  "CMD_ERASE_DEVICE Timeout"},
        FaultCase{"SecondWriteLost", [](auto& f) { f.dropWrite = 2; }, UpdateEnd::Mismatch, kMismatch},
        FaultCase{"LastWriteCorrupted", [](auto& f) { f.corruptWrite = 18; }, UpdateEnd::Mismatch, kMismatch},
        FaultCase{"ReadBackReplyLost", [](auto& f) { f.dropReadReply = 5; }, UpdateEnd::Mismatch, kMismatch},
        FaultCase{"ReadBackReplyMisaddressed", [](auto& f) { f.misaddressReadReply = 1; }, UpdateEnd::Mismatch,
                  kMismatch},
        FaultCase{"UnpluggedOnEntry", [](auto& f) { f.unplugAfter = 1; }, UpdateEnd::ConsoleGone, kGone},
        FaultCase{"UnpluggedAfterTheVersion", [](auto& f) { f.unplugAfter = 2; }, UpdateEnd::ConsoleGone, kGone},
        FaultCase{"UnpluggedWhileWriting", [](auto& f) { f.unplugAfter = 6; }, UpdateEnd::ConsoleGone, kGone},
        FaultCase{"UnpluggedWhileReadingBack", [](auto& f) { f.unplugAfter = 25; }, UpdateEnd::ConsoleGone,
                  kGone}),
    test::CaseName{});

// What a console may do that an update takes in its stride.
TEST_F(FirmwareUpdateTest, SlowEraseAndComingBackAsANewDeviceStillUpdate)
{
    console.Bootloader().Faults().eraseMs = 4000;
    console.Bootloader().Faults().reappearOnEntry = true;
    const std::uint64_t before = link.Link().Opening();
    EXPECT_EQ(Update().end, UpdateEnd::Verified);
    EXPECT_NE(link.Link().Opening(), before) << "the console came back as a new device";
    ExpectFlashHoldsImage();
}

// Without device notifications (the command line) the link opens the
// console afresh once it has entered its bootloader.
TEST_F(FirmwareUpdateTest, ReopensAfterEntryWhereNoNotificationsCome)
{
    transport.SetPlugListener(nullptr);
    console.Bootloader().Faults().reappearOnEntry = true;
    EXPECT_EQ(Update({.reopenAfterEntry = true}).end, UpdateEnd::Verified);
    ExpectFlashHoldsImage();
}

struct ImageCase : test::NamedCase {
    std::size_t length;  // SIZE_MAX: no image file
    std::string message;
};

class FirmwareImageCheckTest : public FirmwareUpdateTest, public ::testing::WithParamInterface<ImageCase> {};

// An image that cannot be written is refused before anything is sent, not
// even the command that enters the bootloader.
TEST_P(FirmwareImageCheckTest, BadImageSendsNothing)
{
    std::filesystem::remove(files.image);
    if (GetParam().length != SIZE_MAX)
        test::WriteBytes(files.image, image.data(), GetParam().length);
    const UpdateResult result = Update();
    EXPECT_EQ(result.end, UpdateEnd::ImageUnusable);
    EXPECT_EQ(result.message, GetParam().message);
    EXPECT_TRUE(console.ReceivedCommands().empty());
    EXPECT_FALSE(console.InBootloader());
}

INSTANTIATE_TEST_SUITE_P(
    Images, FirmwareImageCheckTest,
    ::testing::Values(ImageCase{"Missing", SIZE_MAX, "Open File Error"},
                      ImageCase{"Empty", 0,
                                "The firmware image cannot be used: its image is 0 bytes, no longer than the "
                                "bootloader's own 12288, so it holds no firmware."},
                      ImageCase{"BootloaderOnly", kBootloaderBytes,
                                "The firmware image cannot be used: its image is 12288 bytes, no longer than the "
                                "bootloader's own 12288, so it holds no firmware."}),
    test::CaseName{});

TEST_F(FirmwareUpdateTest, WithoutAConsoleNothingIsSent)
{
    transport.Unplug();
    const UpdateResult result = Update();
    EXPECT_EQ(result.end, UpdateEnd::NotConnected);
    EXPECT_TRUE(result.retry);
    EXPECT_TRUE(console.ReceivedCommands().empty());
}

// After a failure the owner presses Update again, and the same files serve.
TEST_F(FirmwareUpdateTest, AnotherTryAfterAFailureUpdates)
{
    console.Bootloader().Faults().dropReadReply = 3;
    ASSERT_EQ(Update().end, UpdateEnd::Mismatch);
    EXPECT_TRUE(console.InBootloader()) << "the console waits in its bootloader";
    console.Bootloader().Faults().dropReadReply = 0;
    EXPECT_EQ(Update().end, UpdateEnd::Verified);
    ExpectFlashHoldsImage();
}

}  // namespace
}  // namespace vorelle
