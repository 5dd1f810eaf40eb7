#pragma once

#include <string>

namespace vorelle {

enum class MessageButtons { Ok, OkCancel };
enum class MessageIcon { None, Information, Warning, Question, Stop };
enum class MessageAnswer { Ok, Cancel };

// One message box as the user sees it.
struct Message {
    std::string text;
    std::string caption;  // empty: the program's name
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    bool cancelIsDefault = false;
};

// Every message the program shows goes through here, so that tests can put a
// recorder in place of the message boxes. Only the UI thread shows messages.
class Messages {
public:
    virtual ~Messages() = default;
    virtual MessageAnswer Show(const Message& message) = 0;

    void Inform(const std::string& text) { Show({text, {}, MessageButtons::Ok, MessageIcon::None, false}); }
};

}  // namespace vorelle
