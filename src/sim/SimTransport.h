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
    // Opening `path` fails with `reason` from now on (a device node this user
    // may not open); an empty reason lets it open again.
    void RefuseOpening(const std::string& path, std::string reason);

    std::vector<HidDeviceInfo> Enumerate() override;
    std::unique_ptr<HidDevice> OpenPath(const std::string& path, std::string* error = nullptr) override;

    // Shared with the handles, so that a handle sees its device unplugged.
    struct Port {
        HidDeviceInfo info;
        SimulatedConsole* console = nullptr;
        std::atomic<bool> present{true};
        std::atomic<std::uint64_t> pluggings{0};
        std::string refusal;  // guarded by the transport's mutex
    };

private:
    std::shared_ptr<Port> Find(const std::string& path) const;
    void SetPlugged(const std::string& path, bool plugged);

    mutable std::mutex mutex_;  // protects ports_, listener_ and each port's refusal
    std::vector<std::shared_ptr<Port>> ports_;
    PlugListener listener_;
};

}  // namespace vorelle
