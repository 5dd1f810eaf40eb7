#include "recordings/IncomingFile.h"

#include <algorithm>
#include <cerrno>

namespace vorelle {

void IncomingFile::Begin(std::FILE* working, std::uint64_t expected)
{
    std::lock_guard lock(mutex_);
    mode_ = Mode::Receiving;
    working_ = working;
    expected_ = expected;
    kept_ = 0;
    writeError_ = 0;
    packets_ = 0;
    received_ = 0;
}

void IncomingFile::Drain()
{
    std::lock_guard lock(mutex_);
    mode_ = Mode::Draining;
    working_ = nullptr;
    packets_ = 0;
    received_ = 0;
}

int IncomingFile::End()
{
    std::lock_guard lock(mutex_);
    mode_ = Mode::Ignoring;
    working_ = nullptr;
    return writeError_;
}

std::uint64_t IncomingFile::Kept()
{
    std::lock_guard lock(mutex_);
    return kept_;
}

bool IncomingFile::Accept(const std::uint8_t* data, std::size_t count)
{
    std::lock_guard lock(mutex_);
    if (mode_ == Mode::Ignoring)
        return false;
    ++packets_;
    received_ += count;
    if (mode_ == Mode::Draining)
        return false;
    const auto keep = static_cast<std::size_t>(std::min<std::uint64_t>(count, expected_ - kept_));
    if (keep > 0 && writeError_ == 0 && std::fwrite(data, 1, keep, working_) != keep)
        writeError_ = errno != 0 ? errno : EIO;
    kept_ += keep;
    return writeError_ != 0;
}

bool IncomingFile::AcceptEnd()
{
    std::lock_guard lock(mutex_);
    return mode_ != Mode::Draining;
}

}  // namespace vorelle
