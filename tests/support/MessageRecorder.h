#pragma once

#include "messages/Messages.h"

#include <deque>
#include <string>
#include <vector>

namespace vorelle::test {

// Stands in for the message boxes: logs every message and answers with the
// answers queued, OK once they run out.
class MessageRecorder final : public Messages {
public:
    MessageAnswer Show(const Message& message) override
    {
        shown.push_back(message);
        if (answers.empty())
            return MessageAnswer::Ok;
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const Message& message : shown)
            texts.push_back(message.text);
        return texts;
    }

    std::deque<MessageAnswer> answers;
    std::vector<Message> shown;
};

}  // namespace vorelle::test
