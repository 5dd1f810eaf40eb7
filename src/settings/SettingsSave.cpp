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

}  // namespace vorelle
