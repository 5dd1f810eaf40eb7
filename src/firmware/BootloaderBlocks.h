#pragma once

#include "link/HidTransport.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace vorelle {

// Data bytes in one block of the write and read-back passes.
inline constexpr std::size_t kBlockBytes = 56;
// Where a block's data sit in its write command and in a read-back reply.
inline constexpr std::size_t kBlockDataOffset = 8;

struct BootloaderBlock {
    std::size_t offset = 0;  // in the image
    std::size_t length = 0;  // 0 to kBlockBytes
    // The console addresses a block by half its image offset.
    std::uint32_t WordAddress() const { return static_cast<std::uint32_t>(offset / 2); }
};

// How the image's bytes after the bootloader's own travel: n of them in
// floor(n / 56) + 1 blocks, the last one short (and empty when n is a
// multiple of 56).
class BlockLayout {
public:
    // `imageLength` must exceed kBootloaderBytes.
    explicit BlockLayout(std::size_t imageLength);

    std::size_t Transferred() const { return transferred_; }
    std::size_t Count() const { return transferred_ / kBlockBytes + 1; }
    BootloaderBlock At(std::size_t index) const;
    // The block that starts at `wordAddress`, if any.
    bool IndexOf(std::uint32_t wordAddress, std::size_t& index) const;

private:
    std::size_t transferred_;
};

// CMD_WRITE_BLOCK with the address, length and bytes of a block of
// BlockLayout(image.size()).
Report WriteBlockCommand(const BootloaderBlock& block, std::span<const std::uint8_t> image);
// CMD_READ_BLOCK for the block.
Report ReadBlockCommand(const BootloaderBlock& block);

}  // namespace vorelle
