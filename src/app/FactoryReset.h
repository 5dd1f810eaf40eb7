#pragma once

#include "link/ConsoleLink.h"
#include "messages/Messages.h"

#include <filesystem>
#include <string>

namespace vorelle {

enum class FactoryResetResult {
    FilesDeleted,    // no console, or it went away first: the local recordings are gone all the same
    ConsoleReset,    // the recordings are gone and the console was told to reset
};

struct FactoryResetOutcome {
    FactoryResetResult result = FactoryResetResult::FilesDeleted;
    std::string message;  // what to tell the owner; empty when nothing is said
};

// Asks whether to reset; true when the owner said OK.
bool ConfirmFactoryReset(Messages& messages);

// The hidden factory reset, once confirmed: deletes the downloaded
// recordings and, when a console is connected, resets it. It waits for the
// console, so it runs off the UI thread.
FactoryResetOutcome ResetToFactorySettings(ConsoleLink& link, const std::filesystem::path& dataFolder);

}  // namespace vorelle
