// vorelle2-cli: the console from the command line.
#include "cli/CliCommand.h"
#include "cli/FirmwareCommand.h"
#include "cli/Hex2BinCommand.h"
#include "cli/HistoryCommand.h"
#include "cli/ImportCommand.h"
#include "cli/LiveCommand.h"
#include "cli/QueryCommand.h"
#include "cli/RecordingsCommand.h"
#include "cli/ServeCommand.h"
#include "cli/SettingsCommand.h"
#include "publish/MqttSettings.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    using namespace vorelle;
    // In the order --help lists them.
    const CliCommand* const commands[] = {&kLiveCommand,   &kSettingsCommand, &kHex2BinCommand,
                                          &kImportCommand, &kQueryCommand,    &kFirmwareCommand,
                                          &kRecordingsCommand, &kHistoryCommand, &kServeCommand};
    const std::vector<std::string> args(argv + 1, argv + argc);
    // A broker's password given on the command line is hidden from ps at once.
    for (int i = 2; i < argc; ++i)
        if (std::strcmp(argv[i - 1], "--mqtt") == 0)
            HideUrlPassword(argv[i]);
    const int status = RunCommandLine(commands, args);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "vorelle2-cli: cannot write the output: %s\n", std::strerror(errno));
        return status == kExitDone ? kExitOutputLost : status;
    }
    return status;
}
