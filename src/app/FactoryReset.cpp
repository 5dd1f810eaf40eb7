#include "app/FactoryReset.h"

#include "store/DataFolder.h"

namespace vorelle {

namespace {
constexpr std::string_view kResetNotSentText =
    "The console was disconnected before it could be reset. The downloaded recordings are deleted.";
}  // namespace

FactoryResetResult ResetToFactorySettings(ConsoleLink& link, const std::filesystem::path& dataFolder,
                                          Messages& messages)
{
    const Message question{"Reset to factory setting?", {}, MessageButtons::OkCancel, MessageIcon::Warning, true};
    if (messages.Show(question) != MessageAnswer::Ok)
        return FactoryResetResult::Cancelled;
    DeleteRecordingCopies(dataFolder);
    if (!link.Connected())
        return FactoryResetResult::FilesDeleted;
    // The console does not answer a reset (it may well vanish to restart);
    // it failed only when the command never went out.
    const ExchangeResult result = link.Exchange(MakeCommand(CMD_RESET), CMD_RESET);
    if (!ConsoleStayed(result) && result != ExchangeResult::ConsoleGoneAfterSending) {
        messages.Inform(std::string(kResetNotSentText));
        return FactoryResetResult::FilesDeleted;
    }
    messages.Inform("Success");
    return FactoryResetResult::ConsoleReset;
}

}  // namespace vorelle
