#include "firmware/FirmwareUpdate.h"

#include "firmware/BootloaderReplies.h"

#include <optional>

namespace vorelle {

namespace {

// Only the bootloader names itself so, in this case.
constexpr std::string_view kBootloaderName = "Bootloader";

UpdateResult Ended(UpdateEnd end, std::string detail = {})
{
    switch (end) {
    case UpdateEnd::Verified:
        return {end, "Update Success!"};
    case UpdateEnd::ImageUnusable:
        return {end, std::move(detail)};
    case UpdateEnd::NotConnected:
        return {end, "Update failed: no console is connected.", true};
    case UpdateEnd::VersionTimeout:
        return {end, "CMD_SOFT_VER Timeout"};
    case UpdateEnd::NotBootloader:
        return {end, "Error1!"};
    case UpdateEnd::EraseTimeout:
        return {end, "CMD_ERASE_DEVICE Timeout"};
    case UpdateEnd::EraseFailed:
        return {end, "Error2!"};
    case UpdateEnd::ConsoleGone:
        return {end, "Update failed: the connection to the console was lost.", true};
    case UpdateEnd::Mismatch:
        return {end, "Update failed: the console's memory does not match the image.", true};
    case UpdateEnd::Abandoned:
        break;
    }
    return {UpdateEnd::Abandoned, {}};
}

// The end of an update whose exchange did not run its course, if it did not.
std::optional<UpdateResult> Interrupted(ExchangeResult result)
{
    if (ConsoleStayed(result))
        return std::nullopt;
    return Ended(result == ExchangeResult::Abandoned ? UpdateEnd::Abandoned : UpdateEnd::ConsoleGone);
}

// Why a command was not sent: like an exchange, a write the console did not
// take counts as the console gone, whether or not its removal has been
// noticed yet.
UpdateResult NotSent(ConsoleLink& link)
{
    return Ended(link.Link().Abandoned() ? UpdateEnd::Abandoned : UpdateEnd::ConsoleGone);
}

}  // namespace

UpdateResult WriteThroughBootloader(ConsoleLink& link, std::span<const std::uint8_t> image, UpdateObserver& observer,
                                    UpdateOptions options)
{
    const std::string imageProblem = ImageLengthProblem(image.size());
    if (!imageProblem.empty())
        return Ended(UpdateEnd::ImageUnusable, imageProblem);
    if (link.Link().Abandoned())
        return Ended(UpdateEnd::Abandoned);
    if (!link.Connected())
        return Ended(UpdateEnd::NotConnected);

    const BlockLayout layout(image.size());
    BootloaderReplies replies(link.Router(), layout);

    if (!link.Send(MakeCommand(CMD_ENTER_BOOT), CMD_ENTER_BOOT))
        return NotSent(link);
    if (options.reopenAfterEntry)
        link.Open();

    ExchangeResult result = link.Exchange(MakeCommand(CMD_SOFT_VER), CMD_SOFT_VER);
    if (const auto interrupted = Interrupted(result))
        return *interrupted;
    if (result == ExchangeResult::TimedOut)
        return Ended(UpdateEnd::VersionTimeout);
    const std::string version = replies.Version();
    if (version.find(kBootloaderName) == std::string::npos)
        return Ended(UpdateEnd::NotBootloader);
    observer.OnStatus(version);

    result = link.Exchange(MakeCommand(CMD_ERASE_DEVICE), CMD_ERASE_DEVICE);
    if (const auto interrupted = Interrupted(result))
        return *interrupted;
    if (result == ExchangeResult::TimedOut)
        return Ended(UpdateEnd::EraseTimeout);
    if (replies.EraseStatus() != 0)
        return Ended(UpdateEnd::EraseFailed);

    const std::uint64_t transferred = layout.Transferred();
    const std::uint64_t range = 2 * transferred;
    for (std::size_t i = 0; i < layout.Count(); ++i) {
        const BootloaderBlock block = layout.At(i);
        observer.OnProgress(block.offset - kBootloaderBytes, range);
        if (!link.Send(WriteBlockCommand(block, image), CMD_WRITE_BLOCK))
            return NotSent(link);
    }
    if (!link.Send(MakeCommand(CMD_WRITE_END), CMD_WRITE_END))
        return NotSent(link);

    for (std::size_t i = 0; i < layout.Count(); ++i) {
        const BootloaderBlock block = layout.At(i);
        observer.OnProgress(transferred + (block.offset - kBootloaderBytes), range);
        // A block that goes unanswered shows in the comparison below.
        if (const auto interrupted = Interrupted(link.Exchange(ReadBlockCommand(block), CMD_READ_BLOCK)))
            return *interrupted;
    }
    observer.OnProgress(range, range);
    if (!replies.Read().Matches(image))
        return Ended(UpdateEnd::Mismatch);

    if (!link.Send(MakeCommand(CMD_RUN_APP), CMD_RUN_APP))
        return NotSent(link);
    observer.OnStatus("OK");
    return Ended(UpdateEnd::Verified);
}

UpdateResult UpdateFromFiles(ConsoleLink& link, const FirmwareFiles& files, UpdateObserver& observer,
                             UpdateOptions options)
{
    const LoadedFirmware loaded = LoadFirmwareImage(files.image);
    if (!loaded.problem.empty())
        return Ended(UpdateEnd::ImageUnusable, loaded.problem);
    UpdateResult result = WriteThroughBootloader(link, loaded.image, observer, options);
    if (result.Verified())
        files.Remove();
    return result;
}

}  // namespace vorelle
