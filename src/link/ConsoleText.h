#pragma once

#include "link/HidTransport.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vorelle {

// Text as the console takes it: one Latin-1 byte per character.
struct ConsoleText {
    std::string latin1;                  // empty when refused
    std::optional<std::string> refusal;  // why the text cannot be sent, naming its field
};

// Converts `utf8` (the program's own texts and what the user typed) for the
// console. A character beyond Latin-1 is refused rather than replaced, and so
// is a control character (line breaks, tabs, DEL and the C1 controls), which
// would end or split the texts the console builds from it. Bytes that are not
// UTF-8 count as a character beyond Latin-1.
ConsoleText EncodeConsoleText(std::string_view field, std::string_view utf8);

// Whether the whole of `text` is well-formed UTF-8, read as
// EncodeConsoleText reads it.
bool IsUtf8(std::string_view text);

// Appends the UTF-8 bytes of `code`, a Unicode character, to `utf8`: for a
// text from the console that is shown.
void AppendUtf8(std::string& utf8, char32_t code);

// Writes `latin1` at `at` as the console reads a text: its length byte, then
// its characters. Returns where the next field starts. Callers check that the
// text fits first; one that does not is not written at all.
std::size_t PutCountedText(Report& command, std::size_t at, std::string_view latin1);

}  // namespace vorelle
