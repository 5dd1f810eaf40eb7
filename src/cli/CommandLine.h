#pragma once

#include "messages/Messages.h"

#include <string>
#include <string_view>

namespace vorelle {

// `text` as a JSON string, quotes included.
std::string JsonString(std::string_view text);

// Messages for a program without windows: each text goes to standard error
// after "vorelle2-cli: ", and every question is answered OK.
class StandardErrorMessages final : public Messages {
public:
    MessageAnswer Show(const Message& message) override;
};

}  // namespace vorelle
