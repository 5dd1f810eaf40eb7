#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vorelle {

// One option of a command line: its names as --help shows them ("-h, --help",
// "--db"), the name of its value (empty for a switch), and what --help says of
// it (further lines after a line feed).
struct OptionSpec {
    std::string_view names;
    std::string_view value;
    std::string_view help;
};

// A command line read against its options: which were given, with their
// values, and the words between them.
class OptionValues {
public:
    // True when the option with the name `name` (any of its names) was given.
    bool Has(std::string_view name) const;
    // Its value; empty when it was not given.
    std::string Value(std::string_view name) const;
    const std::vector<std::string>& Words() const { return words_; }

private:
    friend std::optional<std::string> ReadOptions(std::span<const std::string>, std::span<const OptionSpec>,
                                                  OptionValues&);
    // The value of the last time the option was given; null when it was not.
    const std::string* Find(std::string_view name) const;

    std::span<const OptionSpec> specs_;
    std::vector<std::pair<const OptionSpec*, std::string>> given_;
    std::vector<std::string> words_;
};

// Reads `args` into `values`: the options of `specs` (an option that takes a
// value takes the argument after it, whatever it is, and may not go without
// it), and the words between them; "--" ends the options, so that a word may
// begin with a dash. What is wrong with the line, if anything. An option given
// twice keeps its last value. `values` refers to `specs`, which must outlive it.
std::optional<std::string> ReadOptions(std::span<const std::string> args, std::span<const OptionSpec> specs,
                                       OptionValues& values);

// The lines --help gives the options: two blanks, the names and the value's
// name, the help from `column` on (or on the next line when they reach it).
std::string OptionLines(std::span<const OptionSpec> specs, std::size_t column);

// The column where the help of `specs` starts when they are listed together.
std::size_t HelpColumn(std::span<const OptionSpec> specs);

}  // namespace vorelle
