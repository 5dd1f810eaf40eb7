#pragma once

#include "link/HidTransport.h"
#include "sim/SimMaxMinRecords.h"
#include "sim/SimReplyQueue.h"
#include "sim/SimWeather.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace vorelle {

// What can go wrong with a console, switched on and off by tests and by hand.
struct SimFaults {
    std::atomic<bool> noReply{false};             // the console stays silent
    std::atomic<int> lateReplyMs{0};              // every reply comes this much later
    std::atomic<bool> wrongCode{false};           // replies carry another command code
    std::atomic<bool> badLength{false};           // the length byte runs past the report
    std::atomic<bool> firstLivePacketOnly{false}; // the live record's second packet never comes
};

// The device side of the console's protocol: it keeps the console's state,
// answers each command as the real console does, and records every command it
// receives byte for byte.
class SimulatedConsole {
public:
    using Clock = std::chrono::system_clock;
    static constexpr std::size_t kSettingsBlockSize = 13;
    using SettingsBlock = std::array<std::uint8_t, kSettingsBlockSize>;

    // `timeScale` shortens late replies in proportion, like the link's waits.
    explicit SimulatedConsole(double timeScale = 1.0);

    // Host to console: one 65-byte output report (report id in byte 0).
    void Receive(const WireReport& report);
    // Console to host: a queue that receives its own copy of every reply from
    // now on, as each open handle of a HID device does. It stops receiving
    // once the caller lets go of it.
    std::shared_ptr<SimReplyQueue> OpenReplies();
    // Forgets replies not yet delivered (the cable was pulled).
    void DropReplies();

    std::vector<Report> ReceivedCommands() const;
    std::vector<Report> ReceivedCommands(std::uint8_t code) const;
    void ClearReceived();

    SimFaults& Faults() { return faults_; }
    SimWeather& Weather() { return weather_; }
    SimMaxMinRecords& MaxMin() { return maxMin_; }

    void SetMainScreen(bool onMainScreen) { mainScreen_ = onMainScreen; }
    bool OnMainScreen() const { return mainScreen_; }

    SettingsBlock Settings() const;
    void SetSettings(const SettingsBlock& block);
    // Bytes 2 to 6 of the settings block.
    void SetUnitCodes(std::uint8_t temperature, std::uint8_t pressure, std::uint8_t wind, std::uint8_t rain,
                      std::uint8_t light);

    bool InBootloader() const { return bootloader_; }
    // The flash image the bootloader has been given, by byte address.
    std::map<std::uint32_t, std::uint8_t> Flash() const;

    // The clock the console reads its weather by; the local time by default.
    void SetClock(std::function<Clock::time_point()> clock);

private:
    std::vector<Report> Answer(const Report& command);
    std::vector<Report> LiveRecordReplies();
    Report Reply(std::uint8_t code, const std::vector<std::uint8_t>& payload) const;
    void ApplySettingsWrite(const Report& command);
    void ApplyItemsWrite(const Report& command);
    // One reading of the weather at the console's clock; the max/min
    // records take it in.
    LiveValues TakeReading(Clock::time_point now);
    Clock::time_point Now() const;

    const double timeScale_;
    SimFaults faults_;
    SimWeather weather_;
    SimMaxMinRecords maxMin_;
    std::atomic<bool> mainScreen_{true};
    std::atomic<bool> bootloader_{false};

    mutable std::mutex mutex_;  // protects everything below
    std::vector<std::weak_ptr<SimReplyQueue>> replyQueues_;
    std::vector<Report> received_;
    SettingsBlock settings_;
    std::map<std::uint32_t, std::uint8_t> flash_;
    std::function<Clock::time_point()> clock_;
};

}  // namespace vorelle
