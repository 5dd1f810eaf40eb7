#pragma once

#include "messages/Messages.h"

#include <vector>

namespace vorelle {

// Messages said on a worker thread, kept in order for the UI thread, which
// alone shows message boxes, to show once the work has ended. Every question
// is answered OK. One object belongs to one thread at a time.
class CollectedMessages final : public Messages {
public:
    MessageAnswer Show(const Message& message) override
    {
        said.push_back(message);
        return MessageAnswer::Ok;
    }

    std::vector<Message> said;
};

}  // namespace vorelle
