#pragma once

#include "link/HidTransport.h"
#include "link/ManualResetEvent.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace vorelle {

// A console that is plugged in but whose device node this user may not open,
// the commonest trouble on Linux.
struct OpenProblem {
    std::string path;
    std::string reason;
};

// What to tell the owner about `problem`: the node, the reason and the fix.
std::string DescribeOpenProblem(const OpenProblem& problem);

// The one link to the console: finds and opens it, runs the read thread that
// hands every input report to the reply router, and writes command reports.
class HidLink {
public:
    // Called on the read thread with the 64 report bytes (report id removed)
    // and the number of bytes transferred (65 for a full report).
    using ReportHandler = std::function<void(const Report& report, std::size_t transferred)>;

    // `timeScale` shortens every wait and pause in proportion (tests only; the
    // program runs at 1).
    explicit HidLink(HidTransport& transport, double timeScale = 1.0);
    ~HidLink();
    HidLink(const HidLink&) = delete;
    HidLink& operator=(const HidLink&) = delete;

    // Must be set before the first Open.
    void SetReportHandler(ReportHandler handler);

    // Looks for the console (first match in enumeration order) and opens it.
    // Starts the read thread on the first call. Returns Connected().
    bool Open();
    // Sends one 64-byte command as a 65-byte report with report id 0 and
    // pauses 10 ms. Nothing is sent while not connected. True when sent.
    bool WriteCommand(const Report& command);
    // The same without the pause, for a command another process's link sends
    // through this one, which pauses itself.
    bool WriteRelayed(const Report& command);

    bool Connected() const { return connected_.load(); }
    std::string DevicePath() const;
    bool ReadThreadStarted() const { return readThreadStarted_.load(); }
    // Set by the last Open when it found a console but could not open it.
    std::optional<OpenProblem> LastOpenProblem() const;
    // Changes with every opening and closing, so that a sender can tell that
    // the console it wrote to is no longer the one connected.
    std::uint64_t Opening() const { return generation_.load(); }

    // The program is ending: nothing more is written, pauses end at once and
    // a waiting sender is released. Cannot be undone.
    void Abandon();
    bool Abandoned() const { return abandoned_.load(); }

    // A wait of the command table at the link's time scale, never shorter
    // than 1 ms so that a reply can still arrive.
    std::chrono::milliseconds Scaled(int milliseconds) const;
    // A pause at the link's time scale; none at all at scale 0. Ends early
    // when the link is abandoned.
    void Pause(int milliseconds);
    double TimeScale() const { return timeScale_; }

    // The reply code the router is to expect; 0 means none.
    std::atomic<std::uint32_t> PendingReply{0};
    // Signalled: no exchange holds the link, or the awaited reply is complete.
    ManualResetEvent ReplyEvent{true};

private:
    void ReadLoop();
    // Marks the link closed and lets go of its handles. With `opening`, only
    // if that opening is still the current one; true when it closed.
    bool CloseDevices(std::optional<std::uint64_t> opening = std::nullopt);

    HidTransport& transport_;
    const double timeScale_;

    std::atomic<bool> connected_{false};
    std::atomic<bool> readThreadStarted_{false};
    std::atomic<bool> stopping_{false};
    std::atomic<bool> abandoned_{false};
    ManualResetEvent abandonEvent_{false};  // cuts pauses short once abandoned

    mutable std::mutex devicesMutex_;  // protects readDevice_, writeDevice_, devicePath_, openProblem_
    std::shared_ptr<HidDevice> readDevice_;
    std::shared_ptr<HidDevice> writeDevice_;
    std::string devicePath_;
    std::optional<OpenProblem> openProblem_;
    // Counts openings and closings; a report read from an earlier opening is
    // never routed.
    std::atomic<std::uint64_t> generation_{0};

    std::mutex writeMutex_;  // one report on the wire at a time

    // Held while a report is routed and while the link is marked closed, so
    // that a report never reaches the router after the link was closed.
    std::mutex routeMutex_;  // also protects handler_
    ReportHandler handler_;

    ManualResetEvent readEvent_{false};  // wakes the read thread after a successful Open
    std::thread readThread_;
};

}  // namespace vorelle
