#pragma once

#include "firmware/FirmwareUpdate.h"

#include <atomic>
#include <functional>
#include <thread>

namespace vorelle {

// Runs the Update button's work off the UI thread, one update at a time.
class UpdateWorker {
public:
    // Called on the worker's thread when the update has ended.
    using Finished = std::function<void(const UpdateResult& result)>;

    UpdateWorker() = default;
    // Waits for a running update to end; abandon the link first to make
    // that quick.
    ~UpdateWorker();
    UpdateWorker(const UpdateWorker&) = delete;
    UpdateWorker& operator=(const UpdateWorker&) = delete;

    // Starts UpdateFromFiles. False, and nothing started, while an update
    // runs. `observer` must outlive the update.
    bool Start(ConsoleLink& link, FirmwareFiles files, UpdateObserver& observer, Finished finished);

private:
    std::atomic<bool> running_{false};
    std::thread thread_;
};

}  // namespace vorelle
