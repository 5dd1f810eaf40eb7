#pragma once

#include "link/ConsoleLink.h"
#include "link/HidTransport.h"
#include "sim/SimulatedConsole.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vorelle {

// The machine's HID interfaces as the simulation sees them: the simulated
// console, and any other devices a test plugs in. Unplugging a device makes
// its open handles fail, as pulling the cable does.
class SimTransport final : public HidTransport {
public:
    static constexpr const char* kConsolePath = "sim:console";

    // Called on the thread that plugs or unplugs, like a device notification.
    using PlugListener = std::function<void(DeviceEvent)>;

    // No devices until AddDevice.
    SimTransport() = default;
    // Starts with `console` plugged in as the first device, at kConsolePath.
    explicit SimTransport(SimulatedConsole& console);

    // Adds a device at the end of the enumeration order; `console` is null for
    // a device that never answers (another kind of HID device).
    void AddDevice(const std::string& path, std::uint16_t vendorId, std::uint16_t productId,
                   SimulatedConsole* console = nullptr);

    void Unplug(const std::string& path = kConsolePath);
    void Plug(const std::string& path = kConsolePath);
    bool IsPlugged(const std::string& path = kConsolePath) const;
    void SetPlugListener(PlugListener listener);

    std::vector<HidDeviceInfo> Enumerate() override;
    std::unique_ptr<HidDevice> OpenPath(const std::string& path) override;

    // Shared with the handles, so that a handle sees its device unplugged.
    struct Port {
        HidDeviceInfo info;
        SimulatedConsole* console = nullptr;
        std::atomic<bool> present{true};
        std::atomic<std::uint64_t> pluggings{0};
    };

private:
    std::shared_ptr<Port> Find(const std::string& path) const;
    void SetPlugged(const std::string& path, bool plugged);

    mutable std::mutex mutex_;  // protects ports_ and listener_
    std::vector<std::shared_ptr<Port>> ports_;
    PlugListener listener_;
};

}  // namespace vorelle
