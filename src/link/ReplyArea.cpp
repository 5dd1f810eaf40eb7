#include "link/ReplyArea.h"

#include "link/HidTransport.h"

#include <algorithm>
#include <cstring>

namespace vorelle {

ReplyArea::Slot ReplyArea::CopySlot(std::size_t slot) const
{
    Slot copy{};
    if (slot >= kSlotCount)
        return copy;
    std::lock_guard lock(mutex_);
    std::memcpy(copy.data(), bytes_.data() + slot * kSlotSize, kSlotSize);
    return copy;
}

std::vector<std::uint8_t> ReplyArea::LiveRecord() const
{
    std::lock_guard lock(mutex_);
    const std::size_t length = std::min<std::size_t>(liveLength_, kSlotSize);
    return {bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(length)};
}

std::uint32_t ReplyArea::LiveLength() const
{
    std::lock_guard lock(mutex_);
    return liveLength_;
}

bool ReplyArea::Store(std::size_t slot, std::size_t offset, const std::uint8_t* bytes, std::size_t count)
{
    if (slot >= kSlotCount || offset > kSlotSize || count > kSlotSize - offset)
        return false;
    std::lock_guard lock(mutex_);
    if (count > 0)
        std::memcpy(bytes_.data() + slot * kSlotSize + offset, bytes, count);
    return true;
}

bool ReplyArea::StoreLiveRecord(const std::uint8_t* bytes, std::size_t count)
{
    if (count > kSlotSize)
        return false;
    std::lock_guard lock(mutex_);
    if (count > 0)
        std::memcpy(bytes_.data() + kLiveSlot * kSlotSize, bytes, count);
    liveLength_ = static_cast<std::uint32_t>(count);
    return true;
}

std::size_t ReplyLength(std::span<const std::uint8_t> reply)
{
    if (reply.size() < 2)
        return 0;
    return std::min({reply.size(), kReportSize, std::size_t{reply[1]}});
}

std::span<const std::uint8_t> ReplyPayload(std::span<const std::uint8_t> reply)
{
    const std::size_t length = ReplyLength(reply);
    return length > 2 ? reply.subspan(2, length - 2) : std::span<const std::uint8_t>{};
}

}  // namespace vorelle
