#pragma once

#include <filesystem>

namespace vorelle {

inline constexpr const char* kRecordStoreFile = "QM710.db";
inline constexpr const char* kConfigurationFile = "Main.ini";

// The working folder: VORELLE2_DATA_DIR when it is set, otherwise "Vorelle2"
// in the user's data folder ($XDG_DATA_HOME when it is an absolute path,
// otherwise ~/.local/share), where Qt's generic data location puts it too.
std::filesystem::path DataFolderFromEnvironment();

// Makes the working folder ready: creates it with any missing parents, copies
// the shipped record store and configuration file from `shippedFolder` when
// the working folder has none (a working record store is never overwritten),
// and makes the configuration copy writable. Failures are not reported here;
// whoever opens a file later reports its own error.
void PrepareDataFolder(const std::filesystem::path& shippedFolder, const std::filesystem::path& dataFolder);

// Deletes the downloaded recordings ("*.csv") of the working folder, ignoring
// failures. Returns how many were deleted.
int DeleteRecordingCopies(const std::filesystem::path& dataFolder);

}  // namespace vorelle
