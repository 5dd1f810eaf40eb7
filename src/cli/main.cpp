// vorelle2-cli: the console from the command line.
#include "cli/Hex2BinCommand.h"
#include "cli/LiveCommand.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage =
    "Usage: vorelle2-cli COMMAND [OPTIONS]\n"
    "\n"
    "Commands:\n"
    "  live [--simulate] [--json]   read the console's current readings once\n"
    "  hex2bin IN OUT               check a firmware file and convert it to a memory image\n"
    "\n"
    "Options:\n"
    "  -h, --help                   show this help and exit\n"
    "  -V, --version                show the version and exit\n"
    "\n"
    "Run 'vorelle2-cli COMMAND --help' for the options of one command.\n"
    "Exit status 74 means the output could not be written.\n";

// Exit status when the output could not be written (a full disk, a closed
// pipe): the command's work is lost to whoever reads it.
constexpr int kExitOutputLost = 74;

int RunCommand(const std::vector<std::string>& args);

}  // namespace

int main(int argc, char** argv)
{
    const int status = RunCommand({argv + 1, argv + argc});
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "vorelle2-cli: cannot write the output: %s\n", std::strerror(errno));
        return status == 0 ? kExitOutputLost : status;
    }
    return status;
}

namespace {

int RunCommand(const std::vector<std::string>& args)
{
    if (args.empty()) {
        std::fputs(kUsage, stderr);
        return vorelle::kExitUsage;
    }
    const std::string& command = args.front();
    if (command == "-h" || command == "--help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "-V" || command == "--version") {
        std::printf("vorelle2-cli %s\n", VORELLE2_VERSION);
        return 0;
    }
    if (command == "live")
        return vorelle::RunLive({args.begin() + 1, args.end()});
    if (command == "hex2bin")
        return vorelle::RunHex2Bin({args.begin() + 1, args.end()});
    std::fprintf(stderr, "vorelle2-cli: unknown command '%s'\n\n%s", command.c_str(), kUsage);
    return vorelle::kExitUsage;
}

}  // namespace
