#include "sim/SimReply.h"

#include <algorithm>

namespace vorelle {

Report PlainReply(std::uint8_t code, const std::vector<std::uint8_t>& payload)
{
    Report reply{};
    const std::size_t count = std::min(payload.size(), kReportSize - 2);
    reply[0] = code;
    reply[1] = static_cast<std::uint8_t>(count + 2);
    std::copy_n(payload.begin(), count, reply.begin() + 2);
    return reply;
}

std::vector<std::uint8_t> CountedText(std::string_view text)
{
    std::vector<std::uint8_t> bytes(text.size() + 1);
    bytes[0] = static_cast<std::uint8_t>(text.size());
    std::copy(text.begin(), text.end(), bytes.begin() + 1);
    return bytes;
}

}  // namespace vorelle
