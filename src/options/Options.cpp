#include "options/Options.h"

#include <algorithm>

namespace vorelle {

namespace {

// Help starts no further right than this, so that it keeps room on a line.
constexpr std::size_t kFurthestHelpColumn = 22;

// Whether `name` is one of the names "-h, --help" lists.
bool NamedBy(std::string_view names, std::string_view name)
{
    while (!names.empty()) {
        const std::size_t comma = names.find(", ");
        if (names.substr(0, comma) == name)
            return true;
        names = comma == std::string_view::npos ? std::string_view() : names.substr(comma + 2);
    }
    return false;
}

const OptionSpec* SpecNamed(std::span<const OptionSpec> specs, std::string_view name)
{
    const auto found = std::find_if(specs.begin(), specs.end(), [&](const OptionSpec& option) {
        return NamedBy(option.names, name);
    });
    return found == specs.end() ? nullptr : &*found;
}

std::string Heading(const OptionSpec& option)
{
    std::string heading = "  " + std::string(option.names);
    if (!option.value.empty())
        heading += " " + std::string(option.value);
    return heading;
}

}  // namespace

const std::string* OptionValues::Find(std::string_view name) const
{
    const OptionSpec* option = SpecNamed(specs_, name);
    for (auto given = given_.rbegin(); option && given != given_.rend(); ++given)
        if (given->first == option)
            return &given->second;
    return nullptr;
}

bool OptionValues::Has(std::string_view name) const { return Find(name) != nullptr; }

std::string OptionValues::Value(std::string_view name) const
{
    const std::string* value = Find(name);
    return value ? *value : std::string();
}

std::optional<std::string> ReadOptions(std::span<const std::string> args, std::span<const OptionSpec> specs,
                                       OptionValues& values)
{
    values = OptionValues();
    values.specs_ = specs;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            values.words_.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const OptionSpec* option = SpecNamed(specs, arg);
        if (!option)
            return "unknown option '" + arg + "'";
        std::string value;
        if (!option->value.empty()) {
            if (i + 1 >= args.size() || args[i + 1].empty())
                return "the option '" + arg + "' is without its value " + std::string(option->value);
            value = args[++i];
        }
        values.given_.emplace_back(option, std::move(value));
    }
    return std::nullopt;
}

std::size_t HelpColumn(std::span<const OptionSpec> specs)
{
    std::size_t widest = 0;
    for (const OptionSpec& option : specs)
        widest = std::max(widest, Heading(option).size());
    // Two blanks between the widest heading and its help; a heading that
    // would push the help further goes on a line of its own.
    return std::min(widest + 2, kFurthestHelpColumn);
}

std::string OptionLines(std::span<const OptionSpec> specs, std::size_t column)
{
    std::string lines;
    const std::string indent(column, ' ');
    for (const OptionSpec& option : specs) {
        std::string line = Heading(option);
        if (line.size() + 2 > column) {
            lines += line + "\n";
            line = indent;
        } else {
            line.resize(column, ' ');
        }
        std::string_view help = option.help;
        for (std::size_t end; (end = help.find('\n')) != std::string_view::npos; help.remove_prefix(end + 1)) {
            lines += line + std::string(help.substr(0, end)) + "\n";
            line = indent;
        }
        lines += line + std::string(help) + "\n";
    }
    return lines;
}

}  // namespace vorelle
