#pragma once

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorelle {

// One field of a settings form as Save reads it.
struct FieldReading {
    std::int32_t value = 0;
    // Left as it was shown: the console's own value, kept exactly (typed back
    // it could shift by a unit's rounding) and not checked again. The console
    // holds it already, and what it would be checked against (a reading) may
    // be missing.
    bool kept = false;
};

// Reads the text of a field that showed `shown` as `show(shown)`; any other
// text is read with `parse`.
template <typename Show, typename Parse>
FieldReading ReadFormField(const std::string& text, std::int32_t shown, const Show& show, const Parse& parse)
{
    if (text == show(shown))
        return {shown, true};
    return {parse(text), false};
}

// The message refusing the field `name` when its text is empty (or blank): it
// would read as 0, a value nobody typed.
inline std::optional<std::string> EmptyFieldRefusal(std::string_view text, std::string_view name)
{
    if (!std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isspace(c) != 0; }))
        return std::nullopt;
    return std::string(name) + ": the field is empty. Type a value.";
}

}  // namespace vorelle
