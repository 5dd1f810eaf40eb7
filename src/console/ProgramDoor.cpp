#include "console/ProgramDoor.h"

#include "owner/LinkLoan.h"

#include <cstring>
#include <mutex>

namespace vorelle {

namespace {

// What the borrower's link calls the console.
constexpr std::string_view kPath = "the console of the running Vorelle 2";

// The console as the program's link sees it, at one place of the loan.
class LentDevice final : public HidDevice {
public:
    LentDevice(LinkLoan& loan, LinkLoan::Place place) : loan_(loan), place_(place) {}

    bool Write(const WireReport& report) override
    {
        Report command{};
        std::memcpy(command.data(), report.data() + 1, command.size());
        return loan_.Write(command, place_);
    }

    int Read(WireReport& report, std::chrono::milliseconds timeout) override
    {
        InputReport input;
        switch (loan_.NextReport(place_, timeout, input)) {
        case LinkLoan::Got::Nothing:
            return 0;
        case LinkLoan::Got::Gone:
            return -1;
        case LinkLoan::Got::Report:
            break;
        }
        report[0] = 0;
        std::memcpy(report.data() + 1, input.report.data(), input.report.size());
        return static_cast<int>(input.transferred);
    }

private:
    LinkLoan& loan_;
    const LinkLoan::Place place_;
};

// The program's console, while it is connected, as the one device there is.
// The link opens afresh by enumerating first (HidLink::Open), which starts a
// new place of the loan: the devices opened then belong to it, and those
// opened before are gone.
class LentTransport final : public HidTransport {
public:
    explicit LentTransport(LinkLoan& loan) : loan_(loan) {}

    std::vector<HidDeviceInfo> Enumerate() override
    {
        const std::optional<LinkLoan::Place> place = loan_.Reopen();
        std::lock_guard lock(mutex_);
        place_ = place;
        if (!place)
            return {};
        return {{std::string(kPath), kConsoleVendorId, kConsoleProductId}};
    }

    std::unique_ptr<HidDevice> OpenPath(const std::string& path, std::string* error) override
    {
        std::lock_guard lock(mutex_);
        if (path == kPath && place_ && loan_.StillOpen(*place_))
            return std::make_unique<LentDevice>(loan_, *place_);
        if (error)
            *error = "the running Vorelle 2's console went away";
        return nullptr;
    }

private:
    LinkLoan& loan_;
    std::mutex mutex_;  // protects place_
    std::optional<LinkLoan::Place> place_;
};

// What a lent door holds: made before the door that talks through it.
struct LentParts {
    LentParts(FrameLine line, double timeScale) : loan(std::move(line)), transport(loan), link(transport, timeScale)
    {
    }

    LinkLoan loan;
    LentTransport transport;
    ConsoleLink link;
};

class LentDoor final : private LentParts, public ConsoleDoor {
public:
    LentDoor(FrameLine line, double timeScale) : LentParts(std::move(line), timeScale) {}

    bool Granted() const { return loan.Granted(); }
    const std::string& Refusal() const { return loan.Refusal(); }

    ConsoleLink& Link() override { return link; }
    ConsoleKind Kind() const override { return loan.Simulated() ? ConsoleKind::Simulated : ConsoleKind::Usb; }
    // The program hears of the devices; a command that runs once notices a
    // pulled console by its reads.
    bool WatchDevices(DeviceListener) override { return false; }
    void StopWatchingDevices() override {}
    std::optional<std::string> Control(std::string_view name) override
    {
        return "the running Vorelle 2 owns the console: send it '" + std::string(name) + "' with vorelle2 --send";
    }
};

}  // namespace

BorrowedConsole BorrowProgramConsole(const std::string& socketPath, double timeScale)
{
    std::string problem;
    std::optional<FrameLine> line = AskProgram(socketPath, frame::Hold, problem);
    if (!line)
        return {!problem.empty(), nullptr, problem};
    auto door = std::make_unique<LentDoor>(std::move(*line), timeScale);
    if (!door->Granted())
        return {true, nullptr, door->Refusal()};
    return {true, std::move(door), {}};
}

}  // namespace vorelle
