#pragma once

#include "link/HidTransport.h"
#include "live/LiveValues.h"
#include "sim/SimRecordingFormat.h"
#include "sim/SimReplyQueues.h"
#include "sim/SimReplyStream.h"
#include "sim/SimWeather.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace vorelle {

struct SimFaults;

// The part of the console's settings that shapes its recordings.
struct SimRecordingSettings {
    UnitCodes units;
    int intervalMinutes = 5;

    friend bool operator==(const SimRecordingSettings&, const SimRecordingSettings&) = default;
};

// What can go wrong with the card. Counts say how many of the next requests
// of their kind are affected; -1 switches a packet knob off.
struct SimCardFaults {
    std::atomic<int> emptyListings{0};       // listings that name no file
    std::atomic<int> silentListings{0};      // listing requests left unanswered
    std::atomic<int> silentFileRequests{0};  // file requests left unanswered
    std::atomic<int> stallAfterPackets{-1};  // the next file stream stops after this many packets,
    std::atomic<int> silentRequestsAfterStall{0};  // and this many file requests after it go unanswered
    std::atomic<int> unplugAtPacket{-1};     // the cable is pulled once this many packets of the next stream are out
    std::atomic<int> silentDeletes{0};       // delete requests left unanswered
    std::atomic<bool> refuseDeletes{false};  // deletes answer 1 and keep the file
};

// One file of the card.
struct SimCardFile {
    std::string name;  // bytes as the console sends them
    std::shared_ptr<const std::string> content;
};

// The console's SD card. Every day the console writes three recordings, named
// after the day ("20260512.csv", "20260512CH.csv", "20260512SM.csv"), one
// line per reading at the recording interval, from the simulated weather; the
// card keeps today's and the days before, three days in all unless told
// otherwise (a test may give it years). Their content is a function of
// the console's clock and of the settings it had at each reading, so two
// listings a reading apart see the same files, grown by a line. While a
// reading is being written the last line is only partly there. Files can
// also be placed on the card whole, with any name and content.
class SimSdCard {
public:
    using Clock = std::chrono::system_clock;
    // The time the console takes to write one line.
    static constexpr std::chrono::seconds kLineWriteTime{2};
    static constexpr int kDefaultDaysKept = 3;
    static constexpr int kMaxDaysKept = 36525;  // a hundred years

    // The card records `weather`; its streamed replies go to `replies` at the
    // console's pace, late or not at all as `consoleFaults` say.
    SimSdCard(SimWeather& weather, const SimFaults& consoleFaults, SimReplyQueues& replies, double timeScale,
              SimRecordingSettings settings);

    // Answers the listing (0x0A), file (0x0B) and delete (0x0C) commands at
    // the console's time `now`. The listing and the file data are streamed;
    // what is returned goes out as an ordinary reply.
    std::vector<Report> Answer(const Report& command, Clock::time_point now);

    // The files at `now`, in the console's own order (which is no order).
    std::vector<SimCardFile> Files(Clock::time_point now) const;

    // How many days of recordings the card holds, today's included (1 to
    // kMaxDaysKept).
    void SetDaysKept(int days);

    void AddFile(std::string name, std::string content);
    // Another card goes in at `at`: the recordings start again from there.
    void Replace(Clock::time_point at);

    // The settings the console has always had; a change made at `at`, which
    // the readings from then on follow.
    void ResetSettings(SimRecordingSettings settings);
    void ChangeSettings(Clock::time_point at, SimRecordingSettings settings);

    // How the card pulls the console's cable (unplugAtPacket): set by the
    // transport the console is plugged into, cleared before it goes.
    void SetCablePuller(std::function<void()> pull);
    // The cable was pulled: nothing more of the stream in progress goes out.
    void StopStream();

    SimCardFaults& Faults() { return faults_; }

private:
    struct RainBases;
    // One recording of a day as it is being written: no reading before `cut`.
    struct DayFile {
        SimRecordingKind kind;
        Clock::time_point cut;
        std::string name;
        std::string text;
    };

    std::vector<Report> Listing(Clock::time_point now);
    void StreamFile(const Report& command, Clock::time_point now);
    std::vector<Report> Delete(const Report& command, Clock::time_point now);
    void Stream(SimReplyStream::NextReport next);
    void PullCable();

    // Callers hold mutex_.
    // All files, or only the one named `only`.
    std::vector<SimCardFile> FilesLocked(Clock::time_point now, const std::string* only = nullptr) const;
    // Writes the readings of the day that began at `dayStart` up to `now`.
    void WriteDay(Clock::time_point dayStart, Clock::time_point now, std::vector<DayFile>& files) const;
    SimRecordedReading ReadingAt(Clock::time_point time, Clock::time_point dayStart, const RainBases& bases) const;
    const SimRecordingSettings& SettingsAt(Clock::time_point time) const;
    Clock::time_point NextReading(Clock::time_point time, Clock::time_point dayStart) const;

    SimWeather& weather_;
    const SimFaults& consoleFaults_;
    const double timeScale_;
    SimCardFaults faults_;

    mutable std::mutex mutex_;  // protects everything below
    // From when on each settings held, oldest first.
    std::vector<std::pair<Clock::time_point, SimRecordingSettings>> settings_;
    int daysKept_ = kDefaultDaysKept;
    Clock::time_point replacedAt_ = Clock::time_point::min();
    // A deleted recording keeps only the readings from its deletion on.
    std::map<std::string, Clock::time_point> erasedBefore_;
    std::vector<SimCardFile> added_;

    std::mutex cableMutex_;  // protects cablePuller_, held while it pulls
    std::function<void()> cablePuller_;

    // Last, so that its thread ends before the rest of the card goes.
    SimReplyStream stream_;
};

}  // namespace vorelle
