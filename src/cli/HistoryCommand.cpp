#include "cli/HistoryCommand.h"

namespace vorelle {

namespace {

const CliCommand* const kHistoryCommands[] = {&kHistorySyncCommand, &kHistoryQueryCommand, &kHistoryExportCommand,
                                             &kHistoryRebuildCommand, &kHistoryStatsCommand};

}  // namespace

const CliCommand kHistoryCommand = {
    "history",
    "COMMAND [OPTIONS]",
    "the lasting history of every reading, History.db",
    "The lasting history, History.db in the data folder (VORELLE2_DATA_DIR, or\n"
    "~/.local/share/Vorelle2): every reading of every recording merged into it,\n"
    "one per time, created when missing. Run 'vorelle2-cli history COMMAND\n"
    "--help' for the options of one command.",
    {},
    {},
    {{kExitDone, "done"}},
    nullptr,
    kHistoryCommands,
};

}  // namespace vorelle
