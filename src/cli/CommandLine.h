#pragma once

#include "messages/Messages.h"
#include "publish/ReadingJson.h"

namespace vorelle {

// Messages for a program without windows: each text goes to standard error
// after "vorelle2-cli: ", and every question is answered OK.
class StandardErrorMessages final : public Messages {
public:
    MessageAnswer Show(const Message& message) override;
};

}  // namespace vorelle
