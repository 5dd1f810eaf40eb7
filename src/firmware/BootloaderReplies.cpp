#include "firmware/BootloaderReplies.h"

#include <algorithm>

namespace vorelle {

namespace {
constexpr std::size_t kVersionLengthAt = 2;
constexpr std::size_t kVersionTextAt = 3;
constexpr std::size_t kEraseStatusAt = 2;
}  // namespace

BootloaderReplies::BootloaderReplies(ReplyRouter& router, BlockLayout layout) : router_(router), readBack_(layout)
{
    router_.SetFirmwareSink(this);
}

// Once this returns, the router no longer calls in.
BootloaderReplies::~BootloaderReplies() { router_.SetFirmwareSink(nullptr); }

void BootloaderReplies::OnVersionReply(const std::uint8_t* report, std::size_t count)
{
    std::string text;
    if (count > kVersionTextAt) {
        const std::size_t length = std::min<std::size_t>(report[kVersionLengthAt], count - kVersionTextAt);
        text.assign(report + kVersionTextAt, report + kVersionTextAt + length);
    }
    std::lock_guard lock(mutex_);
    version_ = std::move(text);
}

void BootloaderReplies::OnEraseReply(const std::uint8_t* report, std::size_t count)
{
    std::lock_guard lock(mutex_);
    eraseStatus_ = count > kEraseStatusAt ? report[kEraseStatusAt] : kNoEraseStatus;
}

void BootloaderReplies::OnReadBack(std::uint32_t wordAddress, const std::uint8_t* data, std::size_t count)
{
    readBack_.Place(wordAddress, data, count);
}

std::string BootloaderReplies::Version() const
{
    std::lock_guard lock(mutex_);
    return version_;
}

int BootloaderReplies::EraseStatus() const
{
    std::lock_guard lock(mutex_);
    return eraseStatus_;
}

}  // namespace vorelle
