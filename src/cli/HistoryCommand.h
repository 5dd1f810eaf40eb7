#pragma once

#include "cli/CliCommand.h"

namespace vorelle {

// vorelle2-cli history and its commands, one file each.
extern const CliCommand kHistoryCommand;
extern const CliCommand kHistorySyncCommand;
extern const CliCommand kHistoryQueryCommand;
extern const CliCommand kHistoryExportCommand;
extern const CliCommand kHistoryRebuildCommand;
extern const CliCommand kHistoryStatsCommand;

}  // namespace vorelle
