#include "link/ConsoleText.h"

#include <algorithm>
#include <cstdint>

namespace vorelle {

namespace {

constexpr char32_t kNotACharacter = 0xFFFD;
constexpr char32_t kLastLatin1 = 0xFF;

// One character read from UTF-8, and how many bytes it took (at least one,
// so that reading always moves on).
struct Utf8Character {
    char32_t code;
    std::size_t length;
};

Utf8Character ReadUtf8(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[at + i]); };
    const std::uint8_t lead = byte(0);
    if (lead < 0x80)
        return {lead, 1};
    std::size_t length = 0;
    char32_t code = 0;
    char32_t lowest = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, code = lead & 0x1F, lowest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, code = lead & 0x0F, lowest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, code = lead & 0x07, lowest = 0x10000;
    } else {
        return {kNotACharacter, 1};
    }
    if (length > text.size() - at)
        return {kNotACharacter, 1};
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return {kNotACharacter, 1};
        code = (code << 6) | (byte(i) & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are not characters.
    if (code < lowest || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
        return {kNotACharacter, 1};
    return {code, length};
}

bool IsControl(char32_t code)
{
    return code < 0x20 || (code >= 0x7F && code <= 0x9F);
}

ConsoleText Refuse(std::string message)
{
    return {{}, std::move(message)};
}

}  // namespace

ConsoleText EncodeConsoleText(std::string_view field, std::string_view utf8)
{
    ConsoleText text;
    for (std::size_t at = 0; at < utf8.size();) {
        const Utf8Character character = ReadUtf8(utf8, at);
        if (character.code == kNotACharacter || character.code > kLastLatin1) {
            const std::string shown =
                character.code == kNotACharacter ? "\xEF\xBF\xBD" : std::string(utf8.substr(at, character.length));
            return Refuse(std::string(field) + ": the character \"" + shown +
                          "\" cannot be sent to the console. Use Western European letters, digits and signs only.");
        }
        if (IsControl(character.code))
            return Refuse(std::string(field) +
                          ": line breaks, tabs and other control characters cannot be sent to the console.");
        text.latin1 += static_cast<char>(character.code);
        at += character.length;
    }
    return text;
}

bool IsUtf8(std::string_view text)
{
    for (std::size_t at = 0; at < text.size();) {
        const Utf8Character character = ReadUtf8(text, at);
        // U+FFFD written out takes three bytes; a byte that is no character, one.
        if (character.code == kNotACharacter && character.length == 1)
            return false;
        at += character.length;
    }
    return true;
}

void AppendUtf8(std::string& utf8, char32_t code)
{
    if (code < 0x80) {
        utf8 += static_cast<char>(code);
        return;
    }
    const int length = code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
    // The lead byte: as many high bits set as the sequence has bytes.
    utf8 += static_cast<char>(((0xF00 >> length) & 0xF0) | (code >> (6 * (length - 1))));
    for (int i = length - 2; i >= 0; --i)
        utf8 += static_cast<char>(0x80 | ((code >> (6 * i)) & 0x3F));
}

std::size_t PutCountedText(Report& command, std::size_t at, std::string_view latin1)
{
    // Callers refuse texts that do not fit; this only keeps a mistake of
    // theirs from writing past the command.
    if (at >= command.size() || latin1.size() > command.size() - at - 1)
        return command.size();
    command[at++] = static_cast<std::uint8_t>(latin1.size());
    std::copy(latin1.begin(), latin1.end(), command.begin() + static_cast<std::ptrdiff_t>(at));
    return at + latin1.size();
}

}  // namespace vorelle
