#pragma once

#include "messages/Messages.h"

#include <string>
#include <string_view>

namespace vorelle {

// Exit status for a wrong command line, kept apart from every command's own
// statuses.
inline constexpr int kExitUsage = 64;
// Exit status of a command that needs the console when none answers: none is
// plugged in, or it failed or went away during the command.
inline constexpr int kExitConsole = 1;

// `text` as a JSON string, quotes included.
std::string JsonString(std::string_view text);

// Messages for a program without windows: each text goes to standard error
// after "vorelle2-cli: ", and every question is answered OK.
class StandardErrorMessages final : public Messages {
public:
    MessageAnswer Show(const Message& message) override;
};

}  // namespace vorelle
