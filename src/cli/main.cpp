// vorelle2-cli: the console from the command line.
#include "cli/CliCommand.h"
#include "cli/FirmwareCommand.h"
#include "cli/Hex2BinCommand.h"
#include "cli/ImportCommand.h"
#include "cli/LiveCommand.h"
#include "cli/QueryCommand.h"
#include "cli/RecordingsCommand.h"
#include "cli/SettingsCommand.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    using namespace vorelle;
    // In the order --help lists them.
    const CliCommand* const commands[] = {&kLiveCommand,     &kSettingsCommand, &kHex2BinCommand, &kImportCommand,
                                          &kQueryCommand,    &kFirmwareCommand, &kRecordingsCommand};
    const int status = RunCommandLine(commands, {argv + 1, argv + argc});
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "vorelle2-cli: cannot write the output: %s\n", std::strerror(errno));
        return status == kExitDone ? kExitOutputLost : status;
    }
    return status;
}
