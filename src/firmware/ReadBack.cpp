#include "firmware/ReadBack.h"

#include "firmware/FirmwareImage.h"

#include <algorithm>

namespace vorelle {

ReadBack::ReadBack(BlockLayout layout)
    : layout_(layout), bytes_(layout.Transferred()), received_(layout.Count(), false)
{
}

bool ReadBack::Place(std::uint32_t wordAddress, const std::uint8_t* data, std::size_t count)
{
    std::size_t index = 0;
    if (!layout_.IndexOf(wordAddress, index))
        return false;
    const BootloaderBlock block = layout_.At(index);
    if (count != block.length)
        return false;
    std::lock_guard lock(mutex_);
    std::copy_n(data, count, bytes_.begin() + static_cast<std::ptrdiff_t>(block.offset - kBootloaderBytes));
    received_[index] = true;
    return true;
}

bool ReadBack::Matches(std::span<const std::uint8_t> image) const
{
    if (image.size() != kBootloaderBytes + layout_.Transferred())
        return false;
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < layout_.Count(); ++i)
        if (!received_[i] && layout_.At(i).length > 0)
            return false;
    return std::equal(bytes_.begin(), bytes_.end(), image.begin() + kBootloaderBytes);
}

}  // namespace vorelle
