#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace vorelle {

// A form checked and turned into the commands that save it: either the
// writes, or why the form is refused. Validating, building and saving a
// form all start from this one preparation, so they never disagree.
template <typename Writes>
struct PreparedWrites {
    Writes writes{};
    std::optional<std::string> refusal;

    static PreparedWrites Refused(std::string message) { return {{}, std::move(message)}; }
    static PreparedWrites Refused(std::string_view message) { return {{}, std::string(message)}; }

    std::optional<Writes> Accepted() const { return refusal ? std::nullopt : std::optional<Writes>(writes); }
};

}  // namespace vorelle
