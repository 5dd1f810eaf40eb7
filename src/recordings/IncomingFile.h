#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <mutex>

namespace vorelle {

// The bytes of one transfer as the read thread hands them over, packet by
// packet: they go to the working file up to the count the transfer expects
// (bytes past it, of a file that grew since it was listed, belong to the
// next transfer). The transfer's thread watches the counts meanwhile.
class IncomingFile {
public:
    // From now on packets go to `working`, which stays the caller's.
    void Begin(std::FILE* working, std::uint64_t expected);
    // No packet is taken from now on. Returns the error of writing the
    // working file (an errno value), 0 if there was none.
    int End();

    // One packet's data. Returns true when the transfer has all it expects,
    // or when the working file cannot take more, which ends it at once.
    // Packets that come while no transfer runs are ignored.
    bool Accept(const std::uint8_t* data, std::size_t count);

    std::uint64_t Packets() const { return packets_.load(); }
    std::uint64_t Received() const { return received_.load(); }
    // Bytes written to the working file.
    std::uint64_t Kept();

private:
    std::mutex mutex_;  // protects working_, expected_, kept_ and writeError_
    std::FILE* working_ = nullptr;
    std::uint64_t expected_ = 0;
    std::uint64_t kept_ = 0;
    int writeError_ = 0;
    std::atomic<std::uint64_t> packets_{0};
    std::atomic<std::uint64_t> received_{0};
};

}  // namespace vorelle
