#pragma once

#include "firmware/FirmwareImage.h"
#include "link/ConsoleLink.h"

#include <cstdint>
#include <span>
#include <string>

namespace vorelle {

// How an update ended.
enum class UpdateEnd {
    Verified,          // the console holds the image, read back, and was told to start it
    ImageUnusable,     // the image could not be read or holds no firmware: nothing was sent
    NotConnected,      // no console: nothing was sent
    VersionTimeout,    // no answer to CMD_SOFT_VER
    NotBootloader,     // the answer was not the bootloader's
    EraseTimeout,      // no answer to CMD_ERASE_DEVICE
    EraseFailed,       // the bootloader did not erase
    ConsoleGone,       // the console went away, or a command could not be sent to it
    Mismatch,          // a block never came back, or came back different
    Abandoned,         // the program is ending
};

struct UpdateResult {
    UpdateEnd end = UpdateEnd::Abandoned;
    // What to tell the owner; empty when the program is ending.
    std::string message;
    // The owner may simply try again (the dialog adds how).
    bool retry = false;

    bool Verified() const { return end == UpdateEnd::Verified; }
};

// What the owner sees while the update runs. Called on the updating thread.
class UpdateObserver {
public:
    virtual ~UpdateObserver() = default;
    // The status line: the bootloader's own name, then "OK".
    virtual void OnStatus(const std::string& text) = 0;
    // The write pass moves from 0 to n, the read-back pass from n to 2n = range.
    virtual void OnProgress(std::uint64_t position, std::uint64_t range) = 0;
};

struct UpdateOptions {
    // Open the console afresh once it has entered its bootloader, for owners
    // that get no device notifications (the command line): the console may
    // come back as a new device.
    bool reopenAfterEntry = false;
};

// Writes `image` into the console through its bootloader: enter it, check
// that it is the bootloader that answers, erase, write every block, read
// every block back, and only when all of it equals the image start the new
// firmware. Stops at once when the console goes away or a command cannot be
// sent (which is how a console that went away shows first). An image that
// holds no firmware is refused before anything is sent.
UpdateResult WriteThroughBootloader(ConsoleLink& link, std::span<const std::uint8_t> image, UpdateObserver& observer,
                                    UpdateOptions options = {});

// The Update button's work: loads and checks `files.image` before anything
// is sent, writes it, and removes both files once the console holds it (they
// stay for another try otherwise).
UpdateResult UpdateFromFiles(ConsoleLink& link, const FirmwareFiles& files, UpdateObserver& observer,
                             UpdateOptions options = {});

}  // namespace vorelle
