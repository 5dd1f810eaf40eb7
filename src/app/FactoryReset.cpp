#include "app/FactoryReset.h"

#include "records/DataFolder.h"

namespace vorelle {

FactoryResetResult ResetToFactorySettings(ConsoleLink& link, const std::filesystem::path& dataFolder,
                                          Messages& messages)
{
    const Message question{"Reset to factory setting?", {}, MessageButtons::OkCancel, MessageIcon::Warning, true};
    if (messages.Show(question) != MessageAnswer::Ok)
        return FactoryResetResult::Cancelled;
    DeleteRecordingCopies(dataFolder);
    if (!link.Connected())
        return FactoryResetResult::FilesDeleted;
    link.Exchange(MakeCommand(CMD_RESET), CMD_RESET);
    messages.Inform("Success");
    return FactoryResetResult::ConsoleReset;
}

}  // namespace vorelle
