#include "link/ReplyRouter.h"

#include <algorithm>

namespace vorelle {

namespace {
constexpr std::size_t kLastFilePacketBelow = 60;
constexpr std::size_t kReadBackDataOffset = 8;

// The payload length a reply announces in byte 1, if it fits in what arrived.
bool AnnouncedPayload(const Report& report, std::size_t valid, std::size_t& payload)
{
    if (valid < 2 || report[1] < 2 || report[1] > valid)
        return false;
    payload = report[1] - 2u;
    return true;
}
}  // namespace

ReplyRouter::ReplyRouter(HidLink& link, ReplyArea& area) : link_(link), area_(area) {}

void ReplyRouter::BeginExchange(std::uint32_t reply)
{
    std::lock_guard lock(mutex_);
    livePacketCount_ = 0;
    liveOffset_ = 0;
    link_.PendingReply = reply;
}

void ReplyRouter::AddScreenFlag(ScreenFlag& flag)
{
    std::lock_guard lock(mutex_);
    screenFlags_.push_back(&flag);
}

void ReplyRouter::RemoveScreenFlag(ScreenFlag& flag)
{
    std::lock_guard lock(mutex_);
    std::erase(screenFlags_, &flag);
}

void ReplyRouter::SetRecordingSink(RecordingReplySink* sink)
{
    std::lock_guard lock(mutex_);
    recordingSink_ = sink;
}

void ReplyRouter::HoldRecordingSink(RecordingReplySink* sink)
{
    std::unique_lock lock(mutex_);
    recordingSinkReleased_.wait(lock, [&] { return recordingSink_ == nullptr || recordingSink_ == sink; });
    recordingSink_ = sink;
}

void ReplyRouter::ReleaseRecordingSink(RecordingReplySink* sink)
{
    {
        std::lock_guard lock(mutex_);
        if (recordingSink_ != sink)
            return;
        recordingSink_ = nullptr;
    }
    recordingSinkReleased_.notify_all();
}

void ReplyRouter::SetFirmwareSink(FirmwareReplySink* sink)
{
    std::lock_guard lock(mutex_);
    firmwareSink_ = sink;
}

void ReplyRouter::Complete(bool clearPending)
{
    if (clearPending)
        link_.PendingReply = 0;
    link_.ReplyEvent.Set();
}

void ReplyRouter::RouteLivePacket(const Report& report, std::size_t valid)
{
    std::size_t payload = 0;
    if (!AnnouncedPayload(report, valid, payload)) {
        Drop();
        return;
    }
    if (payload > liveAssembly_.size() - liveOffset_) {
        Drop();
        return;
    }
    std::copy_n(report.begin() + 2, payload, liveAssembly_.begin() + static_cast<std::ptrdiff_t>(liveOffset_));
    liveOffset_ += payload;
    if (livePacketCount_ == 0) {
        livePacketCount_ = 1;
        return;
    }
    area_.StoreLiveRecord(liveAssembly_.data(), liveOffset_);
    livePacketCount_ = 0;
    liveOffset_ = 0;
    Complete(true);
}

void ReplyRouter::RouteReply(const Report& report, std::size_t transferred)
{
    // What arrived, without the report id.
    const std::size_t valid = std::min(transferred > 0 ? transferred - 1 : 0, report.size());
    std::lock_guard lock(mutex_);
    std::size_t payload = 0;

    const std::uint32_t pending = link_.PendingReply.load();
    if (valid == 0 || report[0] != pending) {
        // Every routed reply echoes its command's code; anything else is not
        // the answer being waited for.
        if (pending != 0)
            Drop();
        return;
    }

    switch (pending) {
    case 0x01:
        RouteLivePacket(report, valid);
        return;
    case 0x02:
        area_.Store(ReplyArea::kSettingSlot, 0, report.data(), valid);
        Complete(true);
        return;
    case 0x03:
    case 0x0D:
        Complete(false);
        return;
    case 0x04:
        area_.Store(ReplyArea::kCalibSlot, 0, report.data(), valid);
        Complete(true);
        return;
    case 0x06:
        area_.Store(ReplyArea::kAlarmSlot, 0, report.data(), valid);
        Complete(true);
        return;
    case 0x08:
        if (!AnnouncedPayload(report, valid, payload)) {
            Drop();
            return;
        }
        area_.Store(ReplyArea::kMaxMinSlot, 0, report.data() + 2, payload);
        Complete(true);
        return;
    case 0x09:
        Complete(true);
        return;
    case 0x0A:
        if (valid < 7) {
            Drop();
            return;
        }
        if (report[6] == 0) {
            Complete(true);
            return;
        }
        if (recordingSink_)
            recordingSink_->OnFileListEntry(report);
        return;
    case 0x0B: {
        const std::size_t count = valid >= 3 ? report[2] : 0;
        if (valid < 3 || count > valid - 3) {
            Drop();
            return;
        }
        const bool ends = recordingSink_ && recordingSink_->OnFileData(report.data() + 3, count);
        if (count < kLastFilePacketBelow) {
            if (!recordingSink_ || recordingSink_->OnFileDataEnd())
                Complete(true);
        } else if (ends) {
            Complete(true);
        }
        return;
    }
    case 0x0C:
        if (valid < 3) {
            Drop();
            return;
        }
        if (recordingSink_)
            recordingSink_->OnDeleteResult(report[2]);
        Complete(true);
        return;
    case 0x20:
        if (valid < 3) {
            Drop();
            return;
        }
        for (ScreenFlag* flag : screenFlags_)
            *flag = report[2];
        Complete(true);
        return;
    case 0x80:
        if (firmwareSink_)
            firmwareSink_->OnVersionReply(report.data(), valid);
        Complete(true);
        return;
    case 0x82:
        if (firmwareSink_)
            firmwareSink_->OnEraseReply(report.data(), valid);
        Complete(true);
        return;
    case 0x85: {
        const std::size_t count = valid > 5 ? report[5] : 0;
        if (valid < kReadBackDataOffset || count > valid - kReadBackDataOffset) {
            Drop();
            return;
        }
        const std::uint32_t wordAddress = report[1] | (report[2] << 8) | (report[3] << 16) |
                                          (static_cast<std::uint32_t>(report[4]) << 24);
        if (firmwareSink_)
            firmwareSink_->OnReadBack(wordAddress, report.data() + kReadBackDataOffset, count);
        Complete(false);
        return;
    }
    default:
        return;  // nobody awaits this reply
    }
}

}  // namespace vorelle
