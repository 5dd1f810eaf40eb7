#include "settings/SettingsSave.h"

namespace vorelle {

SaveOutcome SaveWithScreenCheck(ConsoleLink& link, ScreenFlag& flag, const Report& write,
                                const CommandSpec& writeSpec, ScreenCheckTiming checkTiming,
                                std::string_view doneText, std::string_view notConnectedText)
{
    // A console pulled while the dialog was open has received nothing; saying
    // "saved" would hide that the user's changes are lost.
    if (!link.Connected())
        return {SaveStatus::NotConnected, std::string(notConnectedText)};

    // Only this check's own answer may let the write through: a late answer
    // to an earlier, timed-out check must not stand in for a missing one.
    flag = 1;
    switch (link.WriteAfterScreenCheck(write, writeSpec, flag, checkTiming)) {
    case ScreenCheckedWriteResult::Written:
        return {SaveStatus::Done, std::string(doneText)};
    case ScreenCheckedWriteResult::NotMainScreen:
        return {SaveStatus::NotMainScreen, std::string(kSwitchToMainScreenText)};
    case ScreenCheckedWriteResult::NotConnected:
        return {SaveStatus::NotConnected, std::string(notConnectedText)};
    case ScreenCheckedWriteResult::GoneDuringWrite:
        break;
    }
    return {SaveStatus::Uncertain, std::string(kGoneDuringSaveText)};
}

SaveOutcome SendInTurn(ConsoleLink& link, std::span<const SaveStep> steps, std::string_view doneText,
                       std::string_view notConnectedText)
{
    std::size_t sent = 0;
    bool lastMayBeLost = false;
    for (const SaveStep& step : steps) {
        const ExchangeResult result = link.Exchange(step.command, step.entry);
        if (ConsoleStayed(result)) {
            ++sent;
            continue;
        }
        if (result == ExchangeResult::ConsoleGoneAfterSending) {
            ++sent;
            lastMayBeLost = true;
        }
        break;
    }
    if (sent == steps.size() && !lastMayBeLost)
        return {SaveStatus::Done, std::string(doneText)};
    if (sent == 0)
        return {SaveStatus::NotConnected, std::string(notConnectedText)};

    const std::string_view uncertain = lastMayBeLost ? steps[sent - 1].carries : std::string_view();
    if (sent == steps.size())
        return {SaveStatus::Uncertain, "The console was disconnected as it received " + std::string(uncertain) +
                                           ", which may not have arrived."};
    std::string message = "The console was disconnected during the save. Not saved: ";
    for (std::size_t i = sent; i < steps.size(); ++i) {
        message += steps[i].carries;
        message += i + 1 < steps.size() ? "; " : ".";
    }
    if (lastMayBeLost)
        message += " It may not have received " + std::string(uncertain) + " either.";
    message += " Save again once it is connected.";
    return {SaveStatus::Uncertain, std::move(message)};
}

}  // namespace vorelle
