#include "link/Commands.h"

namespace vorelle {

std::optional<CommandSpec> FindCommand(std::uint8_t code)
{
    for (const CommandSpec& spec : kCommandTable)
        if (spec.code == code)
            return spec;
    return std::nullopt;
}

Report MakeCommand(const CommandSpec& spec)
{
    Report command{};
    command[0] = spec.code;
    return command;
}

}  // namespace vorelle
