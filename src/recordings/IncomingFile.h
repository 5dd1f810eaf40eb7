#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <mutex>

namespace vorelle {

// The file packets of a transfer as the read thread hands them over: their
// bytes go to the working file up to the count the transfer expects (bytes
// past it, of a file that grew since it was listed, belong to the next
// transfer). The transfer's thread watches the counts meanwhile.
class IncomingFile {
public:
    // From now on packets go to `working`, which stays the caller's.
    void Begin(std::FILE* working, std::uint64_t expected);
    // From now on packets are only counted, and no packet, not even the
    // short one, ends the exchange: the stream is seen out to its end.
    void Drain();
    // Packets are ignored from now on. Returns the error of writing the
    // working file (an errno value), 0 if there was none.
    int End();

    // One packet's data. Returns true when the exchange is to end at once:
    // the working file cannot take more.
    bool Accept(const std::uint8_t* data, std::size_t count);
    // The short packet that ends a stream. Returns whether it ends the
    // exchange: always, unless the stream is being drained.
    bool AcceptEnd();

    std::uint64_t Packets() const { return packets_.load(); }
    std::uint64_t Received() const { return received_.load(); }
    // Bytes written to the working file.
    std::uint64_t Kept();

private:
    enum class Mode { Ignoring, Receiving, Draining };

    std::mutex mutex_;  // protects everything but the counts
    Mode mode_ = Mode::Ignoring;
    std::FILE* working_ = nullptr;
    std::uint64_t expected_ = 0;
    std::uint64_t kept_ = 0;
    int writeError_ = 0;
    std::atomic<std::uint64_t> packets_{0};
    std::atomic<std::uint64_t> received_{0};
};

}  // namespace vorelle
