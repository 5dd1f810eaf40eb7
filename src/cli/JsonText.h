#pragma once

#include <string>
#include <string_view>

namespace vorelle {

// `text` (UTF-8) as a JSON string literal, quotes included.
std::string JsonString(std::string_view text);

}  // namespace vorelle
