#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vorelle {

inline constexpr std::uint16_t kConsoleVendorId = 0x0483;   // 1155
inline constexpr std::uint16_t kConsoleProductId = 0x5750;  // 22352
inline constexpr std::size_t kReportSize = 64;
inline constexpr std::size_t kWireReportSize = kReportSize + 1;  // report id 0 in front

using Report = std::array<std::uint8_t, kReportSize>;
using WireReport = std::array<std::uint8_t, kWireReportSize>;

struct HidDeviceInfo {
    std::string path;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
};

// One open HID interface. A handle is used by one thread at a time.
class HidDevice {
public:
    virtual ~HidDevice() = default;
    // Sends one 65-byte report (byte 0 is the report id). False when the
    // device did not take it.
    virtual bool Write(const WireReport& report) = 0;
    // Waits at most `timeout` for one input report and stores it with its
    // report id in front. Returns the bytes transferred counting the report id
    // (65 for a full report), 0 on timeout, -1 when the device is gone.
    virtual int Read(WireReport& report, std::chrono::milliseconds timeout) = 0;
};

// The machine's HID interfaces: hidapi on real hardware, or the simulated
// console.
class HidTransport {
public:
    virtual ~HidTransport() = default;
    // Present interfaces in enumeration order.
    virtual std::vector<HidDeviceInfo> Enumerate() = 0;
    // Null when the path cannot be opened; then `error`, when given, says why.
    virtual std::unique_ptr<HidDevice> OpenPath(const std::string& path, std::string* error = nullptr) = 0;
};

}  // namespace vorelle
