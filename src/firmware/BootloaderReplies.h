#pragma once

#include "firmware/ReadBack.h"
#include "link/ReplyRouter.h"
#include "link/ReplySinks.h"

#include <mutex>
#include <string>

namespace vorelle {

// The bootloader's replies of one update, handed over by the router on the
// read thread for as long as this object lives.
class BootloaderReplies final : public FirmwareReplySink {
public:
    // The erase status while no erase reply carried one.
    static constexpr int kNoEraseStatus = -1;

    BootloaderReplies(ReplyRouter& router, BlockLayout layout);
    ~BootloaderReplies() override;
    BootloaderReplies(const BootloaderReplies&) = delete;
    BootloaderReplies& operator=(const BootloaderReplies&) = delete;

    // The text is read only within the bytes that arrived, whatever its
    // length byte claims.
    void OnVersionReply(const std::uint8_t* report, std::size_t count) override;
    void OnEraseReply(const std::uint8_t* report, std::size_t count) override;
    void OnReadBack(std::uint32_t wordAddress, const std::uint8_t* data, std::size_t count) override;

    std::string Version() const;
    int EraseStatus() const;
    const ReadBack& Read() const { return readBack_; }

private:
    ReplyRouter& router_;
    ReadBack readBack_;
    mutable std::mutex mutex_;  // protects version_ and eraseStatus_
    std::string version_;
    int eraseStatus_ = kNoEraseStatus;
};

}  // namespace vorelle
