#pragma once

#include "store/StoreResult.h"

#include <cstddef>
#include <functional>
#include <thread>

namespace vorelle {

// Runs `read(connection, k)` for every k below `count`: the even k on
// `store`, the odd k on a second connection to the same file on a thread
// of its own, so that several curves read in about half the time on two
// cores. One curve, or a store without a file, is read on `store` alone.
// The first failure is returned; a store that fails one reader mostly fails
// both, so it is told once.
template <typename Store>
StoreStatus ReadWithTwoConnections(Store& store, std::size_t count,
                                   const std::function<StoreStatus(Store&, std::size_t)>& read)
{
    const auto readEvery = [&](Store& connection, std::size_t first, std::size_t every) -> StoreStatus {
        for (std::size_t k = first; k < count; k += every) {
            if (StoreStatus done = read(connection, k); !done)
                return done;
        }
        return StoreDone{};
    };
    const auto file = store.File();
    if (count < 2 || file.empty())
        return readEvery(store, 0, 1);
    StoreStatus workerRead = StoreDone{};
    std::thread worker([&] {
        StoreResult<Store> second = Store::Open(file);
        workerRead = second ? readEvery(second.Value(), 1, 2) : second.TakeError();
    });
    StoreStatus ownRead = readEvery(store, 0, 2);
    worker.join();
    return ownRead ? workerRead : ownRead;
}

}  // namespace vorelle
