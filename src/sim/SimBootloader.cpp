#include "sim/SimBootloader.h"

#include "link/ByteOrder.h"
#include "link/Commands.h"
#include "sim/SimReply.h"

#include <algorithm>
#include <string_view>

namespace vorelle {

namespace {

constexpr std::string_view kVersion = "Vorelle Bootloader V1.03";
constexpr std::string_view kLowerCaseVersion = "Vorelle bootloader V1.03";
constexpr std::size_t kDataOffset = 8;
constexpr std::size_t kMaxBlockLength = kReportSize - kDataOffset;
constexpr std::uint32_t kWordsPerBlock = 28;
constexpr std::uint8_t kErased = 0xFF;

}  // namespace

SimBootloader::SimBootloader() : flash_(kFlashSize)
{
    // Not erased flash anywhere, so that a block an update leaves out shows.
    for (std::size_t i = 0; i < flash_.size(); ++i)
        flash_[i] = static_cast<std::uint8_t>(i * 31 + 7);
}

bool SimBootloader::Takes(const Report& command) const
{
    return active_ || command[0] == CMD_ENTER_BOOT.code;
}

std::vector<std::uint8_t> SimBootloader::Flash() const
{
    std::lock_guard lock(mutex_);
    return flash_;
}

SimBootloader::Answer SimBootloader::Receive(const Report& command)
{
    std::lock_guard lock(mutex_);
    Answer answer;
    if (command[0] == CMD_ENTER_BOOT.code) {
        if (!active_ && faults_.ignoreEntry)
            return answer;
        answer = Enter();
    } else {
        answer = Handle(command);
    }
    if (++commands_ == faults_.unplugAfter)
        answer.cable = Cable::Pulled;
    if (faults_.silent)
        answer.replies.clear();
    return answer;
}

SimBootloader::Answer SimBootloader::Enter()
{
    // Entering again while it runs starts a new update.
    commands_ = 0;
    writes_ = 0;
    reads_ = 0;
    Answer answer;
    if (!active_.exchange(true) && faults_.reappearOnEntry)
        answer.cable = Cable::Replugged;
    return answer;
}

SimBootloader::Answer SimBootloader::Handle(const Report& command)
{
    Answer answer;
    const std::uint8_t code = command[0];
    if (code == CMD_SOFT_VER.code) {
        answer.replies.push_back(PlainReply(code, CountedText(faults_.lowerCaseName ? kLowerCaseVersion : kVersion)));
    } else if (code == CMD_ERASE_DEVICE.code) {
        const bool fails = faults_.eraseFails;
        if (!fails)
            std::fill(flash_.begin() + kProtectedBytes, flash_.end(), kErased);
        answer.replies.push_back(PlainReply(code, {static_cast<std::uint8_t>(fails ? 1 : 0)}));
        answer.delay = std::chrono::milliseconds(faults_.eraseMs);
    } else if (code == CMD_WRITE_BLOCK.code) {
        ++writes_;
        const std::uint64_t address = std::uint64_t{ReadLittleEndian32(command.data() + 1)} * 2;
        const std::size_t length = std::min<std::size_t>(command[5], kMaxBlockLength);
        // The bootloader never overwrites itself or writes past the flash.
        if (writes_ != faults_.dropWrite && address >= kProtectedBytes && address + length <= flash_.size()) {
            const auto at = flash_.begin() + static_cast<std::ptrdiff_t>(address);
            std::copy_n(command.begin() + kDataOffset, length, at);
            if (writes_ == faults_.corruptWrite && length > 0)
                *at ^= 0x5A;
        }
    } else if (code == CMD_READ_BLOCK.code) {
        ++reads_;
        if (reads_ != faults_.dropReadReply)
            answer.replies.push_back(ReadReply(command, reads_ == faults_.misaddressReadReply));
    } else if (code == CMD_RUN_APP.code) {
        active_ = false;
    }
    return answer;
}

Report SimBootloader::ReadReply(const Report& command, bool misaddressed) const
{
    const std::uint32_t wordAddress = ReadLittleEndian32(command.data() + 1);
    const std::size_t length = std::min<std::size_t>(command[5], kMaxBlockLength);
    Report reply{};
    reply[0] = command[0];
    StoreLittleEndian32(misaddressed ? wordAddress + kWordsPerBlock : wordAddress, reply.data() + 1);
    reply[5] = static_cast<std::uint8_t>(length);
    for (std::size_t i = 0; i < length; ++i) {
        const std::uint64_t address = std::uint64_t{wordAddress} * 2 + i;
        reply[kDataOffset + i] = address < flash_.size() ? flash_[address] : kErased;
    }
    return reply;
}

}  // namespace vorelle
