#pragma once

#include "cli/CliCommand.h"

namespace vorelle {

extern const CliCommand kHex2BinCommand;

}  // namespace vorelle
