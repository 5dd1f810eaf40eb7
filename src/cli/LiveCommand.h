#pragma once

#include "cli/CliCommand.h"

namespace vorelle {

extern const CliCommand kLiveCommand;

}  // namespace vorelle
