#pragma once

#include <string_view>

namespace vorelle {

// The exit statuses of vorelle2-cli, the same for every command (hex2bin
// alone answers with its converter's result code).
inline constexpr int kExitDone = 0;
// The console is not there, did not answer or went away; or a file or the
// record store could not be read or written.
inline constexpr int kExitFailed = 1;
// A request that cannot be done as asked: a value the dialog refuses, no such
// file on the card, a firmware file that cannot be used.
inline constexpr int kExitRefused = 2;
// What was fetched did not arrive or could not be kept.
inline constexpr int kExitTransferFailed = 3;
// A wrong command line, kept apart from every other status.
inline constexpr int kExitUsage = 64;
// The output could not be written: the command's work is lost to whoever
// reads it.
inline constexpr int kExitOutputLost = 74;

// A status and what it means, as --help lists it (further lines after a line
// feed).
struct ExitMeaning {
    int status;
    std::string_view meaning;
};

inline constexpr ExitMeaning kExitMeanings[] = {
    {kExitDone, "done"},
    {kExitFailed, "no console, or it did not answer or went away; or a file or the record\n"
                  "store could not be read or written"},
    {kExitRefused, "a request that cannot be done as asked: a value the console's dialog\n"
                   "refuses, no such file on the card, a firmware file that cannot be used"},
    {kExitTransferFailed, "a transfer failed: the firmware download, or keeping or importing a\n"
                          "recording fetched from the card"},
    {kExitUsage, "a wrong command line"},
    {kExitOutputLost, "the output could not be written (a full disk, a closed pipe)"},
};

}  // namespace vorelle
