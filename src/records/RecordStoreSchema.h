#pragma once

#include <filesystem>
#include <string>

namespace vorelle {

// Creates an empty record store at `path`: the Records table of imported
// readings and the Param table. Returns an empty text on success, else what
// went wrong. An existing file is left alone and reported.
std::string CreateEmptyRecordStore(const std::filesystem::path& path);

}  // namespace vorelle
