#pragma once

#include "options/Options.h"
#include "store/HistoryStore.h"

#include <optional>
#include <string>
#include <string_view>

namespace vorelle {

// What the commands of `vorelle2-cli history` share.

inline constexpr OptionSpec kHistoryKindOption = {
    "--kind", "KIND", "the recordings read: main (the default), channel (the\nextra channels) or soil (soil moisture)"};

// The kind `--kind` names, main when it is not given; what is wrong with it,
// if anything.
std::optional<std::string> ReadHistoryKind(const OptionValues& options, RecordingLayout& kind);

// The value columns a history query takes, as its message lists them.
std::string HistoryColumnList();

// History.db in the prepared data folder, created when missing; none after
// saying on standard error, as `command` says it, why it cannot be opened.
std::optional<HistoryStore> OpenFolderHistory(std::string_view command);

}  // namespace vorelle
