#pragma once

#include "cli/CliCommand.h"

namespace vorelle {

// vorelle2-cli serve: owns the console without a window.
extern const CliCommand kServeCommand;

}  // namespace vorelle
