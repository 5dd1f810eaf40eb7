#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

namespace vorelle {

// The 256-byte slots into which the router stores replies, with the number of
// valid bytes of the live record in slot 0. Written by the read thread, read
// by senders after their exchange; a slot is never read half written.
class ReplyArea {
public:
    static constexpr std::size_t kSlotSize = 256;
    static constexpr std::size_t kSlotCount = 10;
    static constexpr std::uint32_t kInitialLiveLength = 69;

    static constexpr std::size_t kLiveSlot = 0;      // reply 0x01
    static constexpr std::size_t kSettingSlot = 1;   // reply 0x02
    static constexpr std::size_t kCalibSlot = 2;     // reply 0x04
    static constexpr std::size_t kAlarmSlot = 3;     // reply 0x06
    static constexpr std::size_t kMaxMinSlot = 9;    // reply 0x08

    using Slot = std::array<std::uint8_t, kSlotSize>;

    Slot CopySlot(std::size_t slot) const;
    // The first LiveLength bytes of slot 0.
    std::vector<std::uint8_t> LiveRecord() const;
    std::uint32_t LiveLength() const;

    // Copies `count` bytes to `offset` of `slot`; false (and nothing written)
    // when they would not fit in the slot.
    bool Store(std::size_t slot, std::size_t offset, const std::uint8_t* bytes, std::size_t count);
    // Replaces the live record and its length together, so that a reader
    // never sees one reading's bytes with another's length.
    bool StoreLiveRecord(const std::uint8_t* bytes, std::size_t count);

private:
    mutable std::mutex mutex_;  // protects bytes_ and liveLength_
    std::array<std::uint8_t, kSlotSize * kSlotCount> bytes_{};
    std::uint32_t liveLength_ = kInitialLiveLength;
};

// The bytes a reply stored whole (header included) says it holds: its length
// byte, as far as one report and what was stored reach.
std::size_t ReplyLength(std::span<const std::uint8_t> reply);
// Its payload: the bytes after the code and length, up to ReplyLength.
std::span<const std::uint8_t> ReplyPayload(std::span<const std::uint8_t> reply);

}  // namespace vorelle
