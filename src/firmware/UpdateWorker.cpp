#include "firmware/UpdateWorker.h"

namespace vorelle {

UpdateWorker::~UpdateWorker()
{
    if (thread_.joinable())
        thread_.join();
}

bool UpdateWorker::Start(ConsoleLink& link, FirmwareFiles files, UpdateObserver& observer, Finished finished)
{
    if (running_.exchange(true))
        return false;
    // The previous update has ended; its thread is done or about to be.
    if (thread_.joinable())
        thread_.join();
    thread_ = std::thread([this, &link, files = std::move(files), &observer, finished = std::move(finished)] {
        const UpdateResult result = UpdateFromFiles(link, files, observer);
        running_ = false;
        finished(result);
    });
    return true;
}

}  // namespace vorelle
