#pragma once

#include "link/HidTransport.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace vorelle {

// What can go wrong in the console's bootloader. A count k picks the k-th
// command of its kind since the bootloader was entered (from 1); 0 picks none.
struct SimBootloaderFaults {
    std::atomic<bool> ignoreEntry{false};        // 0x86 leaves the console in its application
    std::atomic<bool> lowerCaseName{false};      // the version text says "bootloader"
    std::atomic<bool> silent{false};             // the bootloader answers nothing at all
    std::atomic<bool> eraseFails{false};         // the erase answers status 1 and erases nothing
    std::atomic<int> eraseMs{0};                 // the erase takes this long to answer
    std::atomic<int> dropWrite{0};               // the k-th 0x83 never reaches the flash
    std::atomic<int> corruptWrite{0};            // the k-th 0x83 reaches it with its first byte changed
    std::atomic<int> dropReadReply{0};           // the reply to the k-th 0x85 never comes
    std::atomic<int> misaddressReadReply{0};     // the reply to the k-th 0x85 echoes the next block's address
    std::atomic<int> unplugAfter{0};             // the cable is pulled after the k-th command, 0x86 the first
    std::atomic<bool> reappearOnEntry{false};    // 0x86 makes the console leave the bus and come back as a new device
};

// The console's bootloader: entered by 0x86, it keeps the flash, answers the
// update commands, and hands back to the application on 0x87.
class SimBootloader {
public:
    static constexpr std::size_t kFlashSize = 0x40000;
    // The bootloader's own bytes: never erased or written.
    static constexpr std::size_t kProtectedBytes = 0x3000;

    enum class Cable { Stays, Pulled, Replugged };
    struct Answer {
        std::vector<Report> replies;
        std::chrono::milliseconds delay{0};  // at the console's own pace
        Cable cable = Cable::Stays;          // what happens to the cable after the replies
    };

    SimBootloader();

    // Whether the bootloader handles `command`: every one while it runs, and
    // the one that enters it.
    bool Takes(const Report& command) const;
    Answer Receive(const Report& command);

    bool Active() const { return active_.load(); }
    // The flash by byte address: the bootloader, then the application (an
    // old firmware until one is written).
    std::vector<std::uint8_t> Flash() const;
    SimBootloaderFaults& Faults() { return faults_; }

private:
    Answer Enter();
    Answer Handle(const Report& command);
    Report ReadReply(const Report& command, bool misaddressed) const;

    SimBootloaderFaults faults_;
    std::atomic<bool> active_{false};

    mutable std::mutex mutex_;  // protects everything below
    std::vector<std::uint8_t> flash_;
    int commands_ = 0;  // since entering, 0x86 the first
    int writes_ = 0;
    int reads_ = 0;
};

}  // namespace vorelle
