// vorelle2-sim-uhid: the simulated console plugged into this machine as a
// kernel HID device, so that the program finds it over USB like a real one.
#include "console/SimulatedDoor.h"
#include "options/Options.h"
#include "uhid/UhidConsole.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kExitUsage = 64;
constexpr int kMaxLateReplyMs = 60000;
constexpr const char* kUhidPath = "/dev/uhid";

constexpr const char* kUsage =
    "Usage: vorelle2-sim-uhid [--units T,P,W,R,L] [--channels N] [--clock TIME]\n"
    "                         [--card-days N]\n"
    "                         [--late-reply MS] [--replug-on-boot]\n"
    "                         [--save-flash FILE] [--trace]\n"
    "\n"
    "Plugs the simulated console into this machine as a USB HID device\n"
    "(0483:5750) through /dev/uhid: vorelle2 and vorelle2-cli find it without\n"
    "--simulate, exactly as they find a console on its cable. Stopping this\n"
    "program (Ctrl+C, or SIGTERM) unplugs it.\n"
    "\n"
    "%s"
    "\n"
    "It needs read and write access to /dev/uhid: run it as root, or give a group\n"
    "access with a udev rule (see the README).\n"
    "\n"
    "Exit status: 0 after unplugging, 1 when the device cannot be created or\n"
    "fails, 64 for a wrong command line.\n";

constexpr vorelle::OptionSpec kUhidOptions[] = {
    {"--late-reply", "MS", "answer every command MS milliseconds late, 0 to 60000"},
    {"--replug-on-boot", "",
     "entering its bootloader, the console leaves the bus and\ncomes back as a new device"},
    {"--save-flash", "FILE",
     "on unplugging, write the console's whole flash (its\nbootloader's own bytes first) to FILE"},
    {"--trace", "",
     "print every report on standard output: '>' and its 64\nbytes in hex for each command received, '<' for "
     "each\nreply sent"},
    {"-h, --help", "", "show this help and exit"},
    {"-V, --version", "", "show the version and exit"},
};

// Every option, the simulated console's first, in the order --help lists them.
std::vector<vorelle::OptionSpec> AllOptions()
{
    std::vector<vorelle::OptionSpec> specs(vorelle::kStationOptions.begin(), vorelle::kStationOptions.end());
    specs.insert(specs.end(), std::begin(kUhidOptions), std::end(kUhidOptions));
    return specs;
}

struct Options {
    vorelle::StationOptions station;
    int lateReplyMs = 0;
    bool replugOnBoot = false;
    std::string flashFile;
    bool trace = false;
    bool help = false;
    bool version = false;
};

bool ParseLateReply(const std::string& text, int& milliseconds)
{
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    milliseconds = std::stoi(text);
    return milliseconds <= kMaxLateReplyMs;
}

std::optional<std::string> ParseOptions(const std::vector<std::string>& args, Options& options)
{
    const std::vector<vorelle::OptionSpec> specs = AllOptions();
    vorelle::OptionValues values;
    if (std::optional<std::string> problem = vorelle::ReadOptions(args, specs, values))
        return problem;
    if (!values.Words().empty())
        return "unknown option '" + values.Words().front() + "'";
    if (values.Has("--late-reply") && !ParseLateReply(values.Value("--late-reply"), options.lateReplyMs))
        return "--late-reply takes milliseconds from 0 to 60000";
    options.replugOnBoot = values.Has("--replug-on-boot");
    options.flashFile = values.Value("--save-flash");
    options.trace = values.Has("--trace");
    options.help = values.Has("--help");
    options.version = values.Has("--version");
    return vorelle::ReadStationOptions(values, options.station);
}

void PrintReport(char direction, const vorelle::Report& report)
{
    static constexpr char kHex[] = "0123456789abcdef";
    // One write per line, so that lines of the two threads never mix.
    char line[1 + 3 * vorelle::kReportSize + 1];
    std::size_t at = 0;
    line[at++] = direction;
    for (const std::uint8_t byte : report) {
        line[at++] = ' ';
        line[at++] = kHex[byte >> 4];
        line[at++] = kHex[byte & 0x0F];
    }
    line[at++] = '\n';
    std::fwrite(line, 1, at, stdout);
}

// A descriptor that becomes readable when SIGINT, SIGTERM or SIGHUP arrives.
// The signals are blocked first, so that every thread started later leaves
// them to it.
int StopSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    if (pthread_sigmask(SIG_BLOCK, &signals, nullptr) != 0)
        return -1;
    return signalfd(-1, &signals, SFD_CLOEXEC);
}

bool SaveFlash(const std::vector<std::uint8_t>& flash, const std::string& file)
{
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (!out)
        return false;
    const bool written = std::fwrite(flash.data(), 1, flash.size(), out) == flash.size();
    return std::fclose(out) == 0 && written;
}

int OpenUhid()
{
    const int fd = open(kUhidPath, O_RDWR | O_CLOEXEC);
    if (fd >= 0)
        return fd;
    if (errno == ENOENT || errno == ENODEV)
        std::fprintf(stderr, "vorelle2-sim-uhid: this system has no %s; load it with 'sudo modprobe uhid'\n",
                     kUhidPath);
    else if (errno == EACCES || errno == EPERM)
        std::fprintf(stderr,
                     "vorelle2-sim-uhid: may not open %s; run as root, or see the README for a udev rule that "
                     "gives a group access\n",
                     kUhidPath);
    else
        std::fprintf(stderr, "vorelle2-sim-uhid: cannot open %s: %s\n", kUhidPath, std::strerror(errno));
    return -1;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    Options options;
    const std::vector<vorelle::OptionSpec> specs = AllOptions();
    const std::string optionLines = vorelle::OptionLines(specs, vorelle::HelpColumn(specs));
    if (const std::optional<std::string> problem = ParseOptions(args, options)) {
        std::fprintf(stderr, "vorelle2-sim-uhid: %s\n\n", problem->c_str());
        std::fprintf(stderr, kUsage, optionLines.c_str());
        return kExitUsage;
    }
    if (options.help) {
        std::printf(kUsage, optionLines.c_str());
        return 0;
    }
    if (options.version) {
        std::printf("vorelle2-sim-uhid %s\n", VORELLE2_VERSION);
        return 0;
    }
    // A trace is read while it is written, often through a pipe or a file.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    const int stopFd = StopSignals();
    if (stopFd < 0) {
        std::fprintf(stderr, "vorelle2-sim-uhid: cannot watch for signals: %s\n", std::strerror(errno));
        return 1;
    }
    const int uhidFd = OpenUhid();
    if (uhidFd < 0)
        return 1;

    vorelle::SimulatedConsole console;
    vorelle::SetUpStation(options.station, console);
    std::string error;
    console.Faults().lateReplyMs = options.lateReplyMs;
    console.Bootloader().Faults().reappearOnEntry = options.replugOnBoot;
    vorelle::UhidConsole device(uhidFd, console, options.trace ? vorelle::UhidConsole::Trace(PrintReport) : nullptr);
    if (!device.Plug(error)) {
        std::fprintf(stderr, "vorelle2-sim-uhid: %s\n", error.c_str());
        return 1;
    }
    std::fprintf(stderr,
                 "vorelle2-sim-uhid: the simulated console is plugged in as USB %04x:%04x; stop this program to "
                 "unplug it\n",
                 vorelle::kConsoleVendorId, vorelle::kConsoleProductId);
    const bool healthy = device.Serve(stopFd, error);
    close(uhidFd);
    if (!healthy)
        std::fprintf(stderr, "vorelle2-sim-uhid: %s\n", error.c_str());
    bool flashSaved = true;
    if (!options.flashFile.empty() && !(flashSaved = SaveFlash(console.Bootloader().Flash(), options.flashFile)))
        std::fprintf(stderr, "vorelle2-sim-uhid: cannot write the flash to %s: %s\n", options.flashFile.c_str(),
                     std::strerror(errno));
    std::fprintf(stderr, "vorelle2-sim-uhid: unplugged after %llu commands and %llu replies (%llu reports lost)\n",
                 static_cast<unsigned long long>(device.CommandsReceived()),
                 static_cast<unsigned long long>(device.RepliesSent()),
                 static_cast<unsigned long long>(device.ReportsLost()));
    return healthy && flashSaved ? 0 : 1;
}
