#include "link/Commands.h"

namespace vorelle {

std::optional<CommandSpec> FindCommand(std::uint8_t code)
{
    for (const CommandSpec& entry : kCommandTable)
        if (entry.code == code)
            return entry;
    return std::nullopt;
}

Report MakeCommand(const CommandSpec& entry)
{
    Report command{};
    command[0] = entry.code;
    return command;
}

}  // namespace vorelle
