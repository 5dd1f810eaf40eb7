#include "firmware/BootloaderBlocks.h"

#include "firmware/FirmwareImage.h"
#include "link/ByteOrder.h"
#include "link/Commands.h"

#include <algorithm>

namespace vorelle {

namespace {

Report BlockCommand(const CommandSpec& entry, const BootloaderBlock& block)
{
    Report command = MakeCommand(entry);
    StoreLittleEndian32(block.WordAddress(), command.data() + 1);
    command[5] = static_cast<std::uint8_t>(block.length);
    return command;
}

}  // namespace

BlockLayout::BlockLayout(std::size_t imageLength)
    : transferred_(imageLength > kBootloaderBytes ? imageLength - kBootloaderBytes : 0)
{
}

BootloaderBlock BlockLayout::At(std::size_t index) const
{
    const std::size_t start = std::min(index * kBlockBytes, transferred_);
    return {kBootloaderBytes + start, std::min(kBlockBytes, transferred_ - start)};
}

bool BlockLayout::IndexOf(std::uint32_t wordAddress, std::size_t& index) const
{
    const std::uint64_t offset = std::uint64_t{wordAddress} * 2;
    if (offset < kBootloaderBytes || (offset - kBootloaderBytes) % kBlockBytes != 0)
        return false;
    const std::uint64_t candidate = (offset - kBootloaderBytes) / kBlockBytes;
    if (candidate >= Count())
        return false;
    index = static_cast<std::size_t>(candidate);
    return true;
}

Report WriteBlockCommand(const BootloaderBlock& block, std::span<const std::uint8_t> image)
{
    Report command = BlockCommand(CMD_WRITE_BLOCK, block);
    const std::span<const std::uint8_t> data = image.subspan(block.offset, block.length);
    std::copy(data.begin(), data.end(), command.begin() + kBlockDataOffset);
    return command;
}

Report ReadBlockCommand(const BootloaderBlock& block) { return BlockCommand(CMD_READ_BLOCK, block); }

}  // namespace vorelle
