#include "cli/HistoryCommandLine.h"

#include "cli/RecordStoreOptions.h"
#include "store/HistoryValues.h"

#include <cstdio>

namespace vorelle {

std::optional<std::string> ReadHistoryKind(const OptionValues& options, RecordingLayout& kind)
{
    const std::string name = options.Has("--kind") ? options.Value("--kind") : "main";
    if (name == "main")
        kind = RecordingLayout::Main;
    else if (name == "channel")
        kind = RecordingLayout::Channel;
    else if (name == "soil")
        kind = RecordingLayout::Soil;
    else
        return "--kind takes main, channel or soil";
    return std::nullopt;
}

std::string HistoryColumnList()
{
    std::string list;
    for (std::size_t column = kFirstValueColumn; column < kRecordColumns.size(); ++column)
        list += (list.empty() ? "" : ", ") + std::string(kRecordColumns[column]);
    return list;
}

std::optional<HistoryStore> OpenFolderHistory(std::string_view command)
{
    const std::filesystem::path file = PreparedDataFolder() / kHistoryFile;
    StoreResult<HistoryStore> history = HistoryStore::Open(file);
    if (!history) {
        std::fprintf(stderr, "vorelle2-cli %.*s: %s: %s\n", static_cast<int>(command.size()), command.data(),
                     file.string().c_str(), history.Error().c_str());
        return std::nullopt;
    }
    return std::move(history.Value());
}

}  // namespace vorelle
