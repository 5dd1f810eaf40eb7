#pragma once

#include <string_view>

namespace vorelle {

// What the listing, the transfer and the delete tell the owner.
inline constexpr std::string_view kReadingText = "Reading..............";
inline constexpr std::string_view kListingTimeoutText = "Read filename Timeout, please try again";
inline constexpr std::string_view kFileTimeoutText = "Read file Timeout.";
inline constexpr std::string_view kDeleteFailedText = "Please try again to delete this file";
inline constexpr std::string_view kWorkingFileNotCreatedText = "Create Error41";
inline constexpr std::string_view kLocalCopyNotOpenedText = "Open Error1";
inline constexpr std::string_view kLocalCopyNotCreatedText = "Create Error3";
inline constexpr std::string_view kLocalCopyNotRecreatedText = "Create Error42";

}  // namespace vorelle
