#include "cli/CommandLine.h"

#include <cstdio>

namespace vorelle {

MessageAnswer StandardErrorMessages::Show(const Message& message)
{
    std::fprintf(stderr, "vorelle2-cli: %s\n", message.text.c_str());
    return MessageAnswer::Ok;
}

}  // namespace vorelle
