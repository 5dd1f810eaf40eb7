#pragma once

#include "link/Commands.h"
#include "link/ConsoleLink.h"
#include "link/HidTransport.h"
#include "link/ReplyRouter.h"

#include <span>
#include <string>
#include <string_view>

namespace vorelle {

inline constexpr std::string_view kSaveSuccessText = "Save Success";
inline constexpr std::string_view kClearSuccessText = "Clear Success";
inline constexpr std::string_view kSwitchToMainScreenText = "Please switch the device to the main screen.";
inline constexpr std::string_view kNotConnectedNothingSavedText = "The console is not connected. Nothing was saved.";
inline constexpr std::string_view kNotConnectedNothingClearedText =
    "The console is not connected. Nothing was cleared.";
inline constexpr std::string_view kOpenedWithoutConsoleText =
    "This dialog was opened without the console's settings. Nothing was saved: close it and open it again with the "
    "console connected.";
inline constexpr std::string_view kGoneDuringSaveText =
    "The console was disconnected while it took the new settings. Check them once it is connected again.";

enum class SaveStatus {
    Done,           // written; the dialog closes as confirmed
    InvalidInput,   // a typed value is refused; nothing sent
    NotMainScreen,  // the console refused, or did not answer, the screen check; nothing written
    NotConnected,   // no console, or it went away before the write; nothing written
    Uncertain,      // the write went out, then the console went away before acknowledging it
};

// What a settings dialog's Save (or Clear) ended with, and the text it shows.
struct SaveOutcome {
    SaveStatus status = SaveStatus::Done;
    std::string message;

    // Every other outcome leaves the dialog open with what the user typed.
    bool ClosesDialog() const { return status == SaveStatus::Done; }
};

// The tail every settings save shares: refuse without a console, then the
// screen check and, on the main screen, the write. `flag` is the dialog's
// screen flag, registered with the link's router.
SaveOutcome SaveWithScreenCheck(ConsoleLink& link, ScreenFlag& flag, const Report& write,
                                const CommandSpec& writeSpec, ScreenCheckTiming checkTiming,
                                std::string_view doneText, std::string_view notConnectedText);

// One command of a save that sends several, and what it carries as a message
// names it ("the APN").
struct SaveStep {
    Report command;
    CommandSpec entry;
    std::string_view carries;
};

// Sends `steps` one after the other, each as a whole exchange, with no screen
// check. A command that could not be sent stops the save; the outcome names
// what was not saved, and what may not have arrived when the console went
// away just after a command went out.
SaveOutcome SendInTurn(ConsoleLink& link, std::span<const SaveStep> steps, std::string_view doneText,
                       std::string_view notConnectedText);

}  // namespace vorelle
