#pragma once

#include "link/HidLink.h"
#include "link/ReplyArea.h"
#include "link/ReplySinks.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

namespace vorelle {

// A settings dialog's screen flag: set to 1 when the dialog opens, overwritten
// by byte 2 of every screen-check reply.
using ScreenFlag = std::atomic<std::uint32_t>;

// Puts every input report where the sender said it expects it (PendingReply),
// never by the report's own content, and signals the sender when its reply is
// complete.
class ReplyRouter {
public:
    ReplyRouter(HidLink& link, ReplyArea& area);

    // Step 4 of an exchange: expect `reply`. A new live-record exchange starts
    // its assembly afresh, so a half reply of an earlier one is never joined.
    void BeginExchange(std::uint32_t reply);

    // Called by the read thread for every input report.
    void RouteReply(const Report& report, std::size_t transferred);

    // The settings dialogs' screen flags, which every screen-check reply
    // sets. A flag is removed before it goes away.
    void AddScreenFlag(ScreenFlag& flag);
    void RemoveScreenFlag(ScreenFlag& flag);
    void SetRecordingSink(RecordingReplySink* sink);
    void SetFirmwareSink(FirmwareReplySink* sink);

    std::uint64_t DroppedReports() const { return dropped_.load(); }

private:
    void Complete(bool clearPending);
    void Drop() { ++dropped_; }
    void RouteLivePacket(const Report& report, std::size_t valid);

    HidLink& link_;
    ReplyArea& area_;

    std::mutex mutex_;  // protects everything below
    int livePacketCount_ = 0;
    std::size_t liveOffset_ = 0;
    std::vector<ScreenFlag*> screenFlags_;
    RecordingReplySink* recordingSink_ = nullptr;
    FirmwareReplySink* firmwareSink_ = nullptr;

    std::atomic<std::uint64_t> dropped_{0};
};

}  // namespace vorelle
