#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace vorelle::test {

// Waits until `done` holds, doing `meanwhile` (by default a 10 ms sleep)
// between the looks, patiently, as a sanitizer slows everything.
inline bool Eventually(const std::function<bool()>& done, const std::function<void()>& meanwhile = [] {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
})
{
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (; !done(); meanwhile())
        if (std::chrono::steady_clock::now() > giveUp)
            return false;
    return true;
}

}  // namespace vorelle::test
