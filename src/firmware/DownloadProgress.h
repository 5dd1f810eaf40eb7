#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

namespace vorelle {

// How much of a download has come, in whole percent (truncated, at most
// 100); none while the total is unknown (not above 0).
inline std::optional<int> DownloadPercent(std::int64_t received, std::int64_t total)
{
    if (total <= 0)
        return std::nullopt;
    const double share = static_cast<double>(std::max<std::int64_t>(received, 0)) * 100.0 / static_cast<double>(total);
    return static_cast<int>(std::min(share, 100.0));
}

// The status line while downloading: the percentage only where it is known.
inline std::string DownloadStatusText(std::int64_t received, std::int64_t total)
{
    const std::optional<int> percent = DownloadPercent(received, total);
    return "Download......" + (percent ? std::to_string(*percent) + "%" : std::string());
}

}  // namespace vorelle
