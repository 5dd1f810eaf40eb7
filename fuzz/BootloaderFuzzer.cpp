// Fuzz entry point for the bootloader's replies of one update, fed the way the
// read thread feeds them: version, erase and read-back reports of any length
// and content through the reply router, and read-back data of any address and
// length handed straight to the placement. After every step what the update
// would see (the version text, the erase status, whether the read-back
// matches) is checked against a plain second reading of the same bytes.
// Built with libFuzzer as bootloader_fuzzer, and without it, under
// ReplayMain, as the corpus replay that ctest runs.
#include "FuzzCheck.h"
#include "FuzzInput.h"

#include "firmware/BootloaderReplies.h"
#include "firmware/FirmwareImage.h"
#include "link/Commands.h"
#include "link/ReplyRouter.h"
#include "sim/SimTransport.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace {

using namespace vorelle;
using fuzz::Check;

constexpr std::size_t kBlock = 56;
constexpr std::size_t kDataAt = 8;
// Enough blocks to reach far past the first and to end on any length.
constexpr std::size_t kMaxFirmware = 40 * kBlock;

// What one update should see, kept as the update's own steps describe it.
struct Expected {
    std::string version;
    int eraseStatus = BootloaderReplies::kNoEraseStatus;
    // The image as the read-back has it: the bootloader's bytes are never
    // read back, so they hold a filler no image has there.
    std::vector<std::uint8_t> readBack;
    std::vector<bool> received;
};

class BootloaderRun {
public:
    explicit BootloaderRun(fuzz::FuzzInput& input)
        : firmware_(1 + ((std::size_t{input.Byte()} << 8) | input.Byte()) % kMaxFirmware),
          image_(kBootloaderBytes + firmware_),
          replies_(router_, BlockLayout(image_.size())),
          alone_(BlockLayout(image_.size()))
    {
        const std::uint8_t seed = input.Byte();
        for (std::size_t i = 0; i < image_.size(); ++i)
            image_[i] = static_cast<std::uint8_t>(i * (seed | 1) + i / 251);
        expected_.readBack.assign(image_.size(), 0);
        std::fill_n(expected_.readBack.begin(), kBootloaderBytes, static_cast<std::uint8_t>(~seed));
        expected_.received.assign(firmware_ / kBlock + 1, false);
    }

    void Run(fuzz::FuzzInput& input)
    {
        while (!input.Empty()) {
            switch (input.Byte() % 5) {
            case 0: Reply(input, CMD_SOFT_VER.reply); break;
            case 1: Reply(input, CMD_ERASE_DEVICE.reply); break;
            case 2: Reply(input, CMD_READ_BLOCK.reply); break;
            case 3: ReadBackOfBlock(input); break;
            default: Direct(input); break;
            }
            CheckSeen();
        }
    }

private:
    // A report as it arrives: the bytes transferred (0 to 65, counting the
    // report id), a shape byte, then what arrived. Shape bit 0 echoes the
    // awaited code; bit 1 makes a read-back reply's length byte fit what
    // arrived. Past what arrived the report holds stale bytes.
    void Reply(fuzz::FuzzInput& input, std::uint32_t code)
    {
        const std::size_t transferred = input.Byte() % (kWireReportSize + 1);
        const std::uint8_t shape = input.Byte();
        const std::size_t valid = transferred > 0 ? transferred - 1 : 0;
        Report report;
        report.fill(0x5A);
        for (std::size_t i = 0; i < valid; ++i)
            report[i] = input.Byte();
        if ((shape & 1) && valid > 0)
            report[0] = static_cast<std::uint8_t>(code);
        if ((shape & 2) && valid > kDataAt)
            report[5] = static_cast<std::uint8_t>(report[5] % (valid - kDataAt + 1));
        Route(report, transferred, code);
    }

    // A read-back reply of one true block: its address and length, the
    // image's bytes, with an address, a length or a byte put wrong at will.
    void ReadBackOfBlock(fuzz::FuzzInput& input)
    {
        const std::size_t index = input.Byte() % expected_.received.size();
        const std::uint8_t tweak = input.Byte();
        const std::size_t offset = index * kBlock;
        std::size_t length = std::min(kBlock, firmware_ - offset);
        std::uint32_t word = static_cast<std::uint32_t>((kBootloaderBytes + offset) / 2);
        if (tweak & 1)
            word += static_cast<std::uint32_t>((tweak >> 4) - 8);
        if (tweak & 2)
            length = std::min(kBlock, length + 1);
        if ((tweak & 4) && length > 0)
            --length;
        Report report{};
        report[0] = static_cast<std::uint8_t>(CMD_READ_BLOCK.reply);
        for (int i = 0; i < 4; ++i)
            report[1 + i] = static_cast<std::uint8_t>(word >> (8 * i));
        report[5] = static_cast<std::uint8_t>(length);
        const std::size_t available = image_.size() - kBootloaderBytes - offset;
        std::copy_n(image_.begin() + static_cast<std::ptrdiff_t>(kBootloaderBytes + offset),
                    std::min(length, available), report.begin() + kDataAt);
        if ((tweak & 8) && length > 0)
            report[kDataAt + tweak % length] ^= 0x01;
        Route(report, kWireReportSize, CMD_READ_BLOCK.reply);
    }

    // Read-back data of any address and length (up to 255 bytes, more than a
    // report holds), as no router would hand on.
    void Direct(fuzz::FuzzInput& input)
    {
        const auto word = static_cast<std::uint32_t>(input.Int32());
        std::vector<std::uint8_t> data(input.Byte());
        for (std::uint8_t& byte : data)
            byte = input.Byte();
        Place(word, data.data(), data.size(), true);
    }

    void Route(const Report& report, std::size_t transferred, std::uint32_t code)
    {
        link_.ReplyEvent.Reset();
        router_.BeginExchange(code);
        router_.RouteReply(report, transferred);

        const std::size_t valid = transferred > 0 ? transferred - 1 : 0;
        const bool echoed = valid > 0 && report[0] == code;
        bool completes = echoed;
        if (echoed && code == CMD_SOFT_VER.reply) {
            const std::size_t length = valid > 3 ? std::min<std::size_t>(report[2], valid - 3) : 0;
            expected_.version.assign(report.begin() + 3, report.begin() + 3 + static_cast<std::ptrdiff_t>(length));
        } else if (echoed && code == CMD_ERASE_DEVICE.reply) {
            expected_.eraseStatus = valid > 2 ? report[2] : BootloaderReplies::kNoEraseStatus;
        } else if (echoed) {
            completes = valid >= kDataAt && report[5] <= valid - kDataAt;
            if (completes)
                Place(report[1] | (report[2] << 8) | (report[3] << 16) | (std::uint32_t{report[4]} << 24),
                      report.data() + kDataAt, report[5], false);
        }
        Check(link_.ReplyEvent.IsSet() == completes, "the sender is released exactly when its reply came whole");
        Check(link_.PendingReply == (completes && code != CMD_READ_BLOCK.reply ? 0 : code),
              "a version or erase reply ends its exchange; the read-back keeps awaiting blocks");
    }

    // Data the router handed on for `wordAddress`; `direct` also hands them to
    // the replies themselves, as the router would.
    void Place(std::uint32_t wordAddress, const std::uint8_t* data, std::size_t count, bool direct)
    {
        const std::uint64_t at = std::uint64_t{wordAddress} * 2;
        const std::uint64_t index = at >= kBootloaderBytes ? (at - kBootloaderBytes) / kBlock : 0;
        const bool fits = at >= kBootloaderBytes && (at - kBootloaderBytes) % kBlock == 0 &&
                          index < expected_.received.size() &&
                          count == std::min<std::uint64_t>(kBlock, firmware_ - index * kBlock);
        Check(alone_.Place(wordAddress, data, count) == fits,
              "data are placed exactly where a block starts and with its length");
        if (direct)
            replies_.OnReadBack(wordAddress, data, count);
        if (!fits)
            return;
        std::copy_n(data, count, expected_.readBack.begin() + static_cast<std::ptrdiff_t>(at));
        expected_.received[index] = true;
    }

    void CheckSeen() const
    {
        Check(replies_.Version() == expected_.version, "the version text is the bytes that arrived, as long as said");
        Check(replies_.EraseStatus() == expected_.eraseStatus, "the erase status of the last erase reply");
        bool whole = true;
        for (std::size_t i = 0; i < expected_.received.size(); ++i)
            whole = whole && (expected_.received[i] || i * kBlock == firmware_);
        const bool same = std::equal(expected_.readBack.begin() + kBootloaderBytes, expected_.readBack.end(),
                                     image_.begin() + kBootloaderBytes);
        for (const ReadBack* readBack : {&replies_.Read(), &alone_}) {
            Check(readBack->Matches(expected_.readBack) == whole, "every block read back, each at its place");
            Check(readBack->Matches(image_) == (whole && same), "matches only the image it holds");
            Check(!readBack->Matches(std::span(image_).first(image_.size() - 1)), "never an image of another size");
        }
    }

    const std::size_t firmware_;
    std::vector<std::uint8_t> image_;
    SimTransport transport_;  // no device: nothing is ever read or written
    HidLink link_{transport_};
    ReplyArea area_;
    ReplyRouter router_{link_, area_};
    BootloaderReplies replies_;
    // Takes what the router hands the replies, and what is placed directly.
    ReadBack alone_;
    Expected expected_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::FuzzInput input(data, size);
    BootloaderRun run(input);
    run.Run(input);
    return 0;
}
