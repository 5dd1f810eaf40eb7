#pragma once

#include "firmware/BootloaderBlocks.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

namespace vorelle {

// What the console sends back in the read-back pass, block by block. Filled
// on the read thread, compared on the update's worker.
class ReadBack {
public:
    explicit ReadBack(BlockLayout layout);

    // Places one reply's data by the word address it echoes: only where a
    // block starts and only with that block's length; anything else is
    // dropped (false).
    bool Place(std::uint32_t wordAddress, const std::uint8_t* data, std::size_t count);
    // True when every block that carries bytes was read back and the bytes
    // equal the image's after the bootloader's own. An empty last block
    // carries nothing to compare, so its reply is not needed.
    bool Matches(std::span<const std::uint8_t> image) const;

private:
    const BlockLayout layout_;
    mutable std::mutex mutex_;  // protects bytes_ and received_
    std::vector<std::uint8_t> bytes_;
    std::vector<bool> received_;
};

}  // namespace vorelle
