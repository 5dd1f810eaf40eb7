#pragma once

#include "cli/CliCommand.h"

namespace vorelle {

extern const CliCommand kRecordingsCommand;

}  // namespace vorelle
