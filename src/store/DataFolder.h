#pragma once

#include <filesystem>

namespace vorelle {

inline constexpr const char* kRecordStoreFile = "QM710.db";
inline constexpr const char* kConfigurationFile = "Main.ini";
// The lasting history (HistoryStore.h), beside the record store.
inline constexpr const char* kHistoryFile = "History.db";

// The working folder: VORELLE2_DATA_DIR when it is set, else "Vorelle2" in
// the user's data folder ($XDG_DATA_HOME, or ~/.local/share).
std::filesystem::path WorkingDataFolder();

// Where the files shipped with a program that lies in `programFolder` are:
// beside it when the record store is there (a build tree), else in
// ../share/vorelle2 (an installation).
std::filesystem::path ShippedFolderBeside(const std::filesystem::path& programFolder);

// Makes the working folder ready: creates it with any missing parents, copies
// the shipped record store and configuration file from `shippedFolder` when
// the working folder has none (a working record store is never overwritten),
// and makes the configuration copy writable. Failures are not reported here;
// whoever opens a file later reports its own error.
void PrepareDataFolder(const std::filesystem::path& shippedFolder, const std::filesystem::path& dataFolder);

// True for a downloaded recording: a ".csv" file, in any case.
bool IsRecordingCopy(const std::filesystem::path& file);

// Deletes the downloaded recordings (".csv" in any case) of the working
// folder, ignoring failures. Returns how many were deleted.
int DeleteRecordingCopies(const std::filesystem::path& dataFolder);

}  // namespace vorelle
