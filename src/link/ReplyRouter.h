#pragma once

#include "link/HidLink.h"
#include "link/ReplyArea.h"
#include "link/ReplySinks.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace vorelle {

// A settings dialog's screen flag: set to 1 when the dialog opens, overwritten
// by byte 2 of every screen-check reply.
using ScreenFlag = std::atomic<std::uint32_t>;

// Puts every input report where the sender said it expects it (PendingReply)
// and signals the sender when its reply is complete. A report that does not
// echo the awaited command's code is a late answer to an earlier exchange (or
// noise) and is dropped, so it can never pass for the awaited reply.
class ReplyRouter {
public:
    ReplyRouter(HidLink& link, ReplyArea& area);

    // Step 4 of an exchange: expect `reply`. Any assembly of a live record
    // starts afresh, so a half reply of an earlier exchange is never joined.
    void BeginExchange(std::uint32_t reply);

    // Called by the read thread for every input report.
    void RouteReply(const Report& report, std::size_t transferred);

    // The settings dialogs' screen flags, which every screen-check reply
    // sets. A flag is removed before it goes away.
    void AddScreenFlag(ScreenFlag& flag);
    void RemoveScreenFlag(ScreenFlag& flag);
    void SetRecordingSink(RecordingReplySink* sink);
    // Makes `sink` the receiver of the card's replies for one operation,
    // waiting while another sink holds that place, until it is released: two
    // owners of card operations on one link (the recordings dialog, the
    // history's catch-up) then never take each other's replies.
    void HoldRecordingSink(RecordingReplySink* sink);
    void ReleaseRecordingSink(RecordingReplySink* sink);
    void SetFirmwareSink(FirmwareReplySink* sink);

    std::uint64_t DroppedReports() const { return dropped_.load(); }

private:
    void Complete(bool clearPending);
    void Drop() { ++dropped_; }
    void RouteLivePacket(const Report& report, std::size_t valid);

    HidLink& link_;
    ReplyArea& area_;

    std::mutex mutex_;  // protects everything below
    std::condition_variable recordingSinkReleased_;
    // The live record is assembled here and reaches the reply area only when
    // both packets have come, so a lost second packet never leaves half a
    // reading in slot 0.
    int livePacketCount_ = 0;
    std::size_t liveOffset_ = 0;
    std::array<std::uint8_t, ReplyArea::kSlotSize> liveAssembly_{};
    std::vector<ScreenFlag*> screenFlags_;
    RecordingReplySink* recordingSink_ = nullptr;
    FirmwareReplySink* firmwareSink_ = nullptr;

    std::atomic<std::uint64_t> dropped_{0};
};

}  // namespace vorelle
