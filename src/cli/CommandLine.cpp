#include "cli/CommandLine.h"

#include "store/DesktopDateOrder.h"

#include <array>
#include <charconv>
#include <cstdio>

namespace vorelle {

std::string ValueText(double value)
{
    std::array<char, 64> text;
    const float narrow = static_cast<float>(value);
    const auto written = static_cast<double>(narrow) == value
                             ? std::to_chars(text.data(), text.data() + text.size(), narrow)
                             : std::to_chars(text.data(), text.data() + text.size(), value);
    return std::string(text.data(), written.ptr);
}

std::optional<std::string> ReadCommandTime(const std::string& word, CivilTime& time)
{
    const std::optional<CivilTime> read = ParseRecordTime(word, DesktopDateOrder());
    if (!read)
        return UnreadableTimeText(word);
    time = *read;
    return std::nullopt;
}

MessageAnswer StandardErrorMessages::Show(const Message& message)
{
    std::fprintf(stderr, "vorelle2-cli: %s\n", message.text.c_str());
    return MessageAnswer::Ok;
}

}  // namespace vorelle
