#pragma once

#include "link/ConsoleLink.h"
#include "messages/Messages.h"

#include <filesystem>

namespace vorelle {

enum class FactoryResetResult {
    Cancelled,       // the user said no: nothing deleted, nothing sent
    FilesDeleted,    // no console, or it went away first: the local recordings are gone all the same
    ConsoleReset,    // the recordings are gone and the console was told to reset
};

// The hidden factory reset: asks first, then deletes the downloaded
// recordings and, when a console is connected, resets it.
FactoryResetResult ResetToFactorySettings(ConsoleLink& link, const std::filesystem::path& dataFolder,
                                          Messages& messages);

}  // namespace vorelle
