#include "link/HidLink.h"

#include <algorithm>
#include <cstring>

namespace vorelle {

namespace {
constexpr int kWritePauseMs = 10;
// The read thread blocks at most this long so that it notices a closed link.
constexpr std::chrono::milliseconds kReadSlice{100};
}  // namespace

std::string DescribeOpenProblem(const OpenProblem& problem)
{
    return "A console is plugged in at " + problem.path + " but cannot be opened (" + problem.reason +
           "). Install Vorelle 2's udev rule for the console (see the README), then unplug the console and plug it "
           "in again.";
}

HidLink::HidLink(HidTransport& transport, double timeScale) : transport_(transport), timeScale_(timeScale) {}

HidLink::~HidLink()
{
    stopping_ = true;
    readEvent_.Set();
    if (readThread_.joinable())
        readThread_.join();
}

void HidLink::SetReportHandler(ReportHandler handler)
{
    std::lock_guard lock(routeMutex_);
    handler_ = std::move(handler);
}

std::chrono::milliseconds HidLink::Scaled(int milliseconds) const
{
    if (milliseconds <= 0)
        return std::chrono::milliseconds(0);
    const auto scaled = static_cast<long long>(milliseconds * timeScale_ + 0.5);
    return std::chrono::milliseconds(std::max(1LL, scaled));
}

void HidLink::Pause(int milliseconds)
{
    const auto scaled = std::chrono::duration<double, std::milli>(milliseconds * timeScale_);
    if (scaled.count() > 0)
        abandonEvent_.Wait(std::chrono::ceil<std::chrono::milliseconds>(scaled));
}

void HidLink::Abandon()
{
    abandoned_ = true;
    abandonEvent_.Set();
    ReplyEvent.Set();
}

std::optional<OpenProblem> HidLink::LastOpenProblem() const
{
    std::lock_guard lock(devicesMutex_);
    return openProblem_;
}

std::string HidLink::DevicePath() const
{
    std::lock_guard lock(devicesMutex_);
    return devicePath_;
}

bool HidLink::CloseDevices(std::optional<std::uint64_t> opening)
{
    // Mark closed first: a read that completes from now on is dropped. The read
    // thread keeps its own reference while it reads, so a handle is closed only
    // once no read is running on it.
    std::lock_guard routeLock(routeMutex_);
    std::lock_guard lock(devicesMutex_);
    if (opening && *opening != generation_.load())
        return false;
    connected_ = false;
    ++generation_;
    readDevice_.reset();
    writeDevice_.reset();
    return true;
}

bool HidLink::Open()
{
    if (!readThreadStarted_.exchange(true))
        readThread_ = std::thread(&HidLink::ReadLoop, this);

    CloseDevices();

    std::optional<OpenProblem> problem;
    for (const HidDeviceInfo& info : transport_.Enumerate()) {
        {
            std::lock_guard lock(devicesMutex_);
            devicePath_ = info.path;
        }
        if (info.vendorId != kConsoleVendorId || info.productId != kConsoleProductId)
            continue;
        std::string error;
        std::shared_ptr<HidDevice> reader = transport_.OpenPath(info.path, &error);
        std::shared_ptr<HidDevice> writer = reader ? transport_.OpenPath(info.path, &error) : nullptr;
        if (!reader || !writer) {
            if (!problem)
                problem = OpenProblem{info.path, error.empty() ? "no reason given" : error};
            continue;
        }
        problem.reset();
        {
            std::lock_guard lock(devicesMutex_);
            readDevice_ = std::move(reader);
            writeDevice_ = std::move(writer);
        }
        connected_ = true;
        readEvent_.Set();
        break;
    }
    {
        std::lock_guard lock(devicesMutex_);
        openProblem_ = std::move(problem);
    }
    return connected_.load();
}

bool HidLink::WriteCommand(const Report& command)
{
    const bool sent = WriteRelayed(command);
    Pause(kWritePauseMs);
    return sent;
}

bool HidLink::WriteRelayed(const Report& command)
{
    WireReport wire{};
    std::memcpy(wire.data() + 1, command.data(), command.size());

    std::shared_ptr<HidDevice> writer;
    {
        std::lock_guard lock(devicesMutex_);
        writer = writeDevice_;
    }
    bool sent = false;
    if (connected_ && writer && !abandoned_) {
        std::lock_guard lock(writeMutex_);
        sent = writer->Write(wire);
    }
    return sent;
}

void HidLink::ReadLoop()
{
    WireReport wire{};
    while (!stopping_) {
        readEvent_.Reset();
        std::shared_ptr<HidDevice> reader;
        std::uint64_t generation = 0;
        {
            std::lock_guard lock(devicesMutex_);
            reader = readDevice_;
            generation = generation_.load();
        }
        if (!connected_ || !reader) {
            readEvent_.Wait(kReadSlice);
            continue;
        }
        while (!stopping_) {
            const int transferred = reader->Read(wire, kReadSlice);
            if (transferred < 0) {
                // The console is gone. Close the link and release a sender
                // waiting for its reply now, rather than when a device
                // notification comes (late, or never for a program without
                // one); a link reopened meanwhile is left alone. The next
                // successful Open wakes this thread again.
                if (CloseDevices(generation))
                    ReplyEvent.Set();
                break;
            }
            if (generation != generation_.load())
                break;
            if (transferred == 0)
                continue;
            Report report{};
            std::memcpy(report.data(), wire.data() + 1, report.size());
            std::lock_guard routeLock(routeMutex_);
            if (connected_ && generation == generation_.load() && handler_)
                handler_(report, static_cast<std::size_t>(transferred));
        }
    }
}

}  // namespace vorelle
