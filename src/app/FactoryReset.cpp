#include "app/FactoryReset.h"

#include "store/DataFolder.h"

namespace vorelle {

namespace {
constexpr std::string_view kResetNotSentText =
    "The console was disconnected before it could be reset. The downloaded recordings are deleted.";
}  // namespace

bool ConfirmFactoryReset(Messages& messages)
{
    const Message question{"Reset to factory setting?", {}, MessageButtons::OkCancel, MessageIcon::Warning, true};
    return messages.Show(question) == MessageAnswer::Ok;
}

FactoryResetOutcome ResetToFactorySettings(ConsoleLink& link, const std::filesystem::path& dataFolder)
{
    DeleteRecordingCopies(dataFolder);
    if (!link.Connected())
        return {FactoryResetResult::FilesDeleted, {}};
    // The console does not answer a reset (it may well vanish to restart);
    // it failed only when the command never went out.
    const ExchangeResult result = link.Exchange(MakeCommand(CMD_RESET), CMD_RESET);
    if (!ConsoleStayed(result) && result != ExchangeResult::ConsoleGoneAfterSending)
        return {FactoryResetResult::FilesDeleted, std::string(kResetNotSentText)};
    return {FactoryResetResult::ConsoleReset, "Success"};
}

}  // namespace vorelle
