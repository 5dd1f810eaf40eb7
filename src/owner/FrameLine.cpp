#include "owner/FrameLine.h"

namespace vorelle {

namespace {
constexpr std::chrono::milliseconds kClientSendWait{5000};
}  // namespace

std::optional<FrameLine> AskProgram(const std::string& socketPath, std::uint8_t request, std::string& problem)
{
    std::string error;
    std::optional<LocalConnection> connection = LocalConnection::Connect(socketPath, &error);
    if (!connection) {
        problem = error.empty() ? std::string() : "cannot reach the running Vorelle 2: " + error;
        return std::nullopt;
    }
    FrameLine line(std::move(*connection), kClientSendWait);
    const std::uint8_t version = kOwnerProtocolVersion;
    if (!line.Send(request, std::span(&version, 1))) {
        problem = "cannot reach the running Vorelle 2: it did not take the request";
        return std::nullopt;
    }
    return line;
}

bool FrameLine::Send(std::uint8_t type, std::span<const std::uint8_t> payload)
{
    return connection_.Send(EncodeFrame(type, payload), sendWait_);
}

void FrameLine::Refuse(std::string_view why)
{
    Send(frame::Refused, {reinterpret_cast<const std::uint8_t*>(why.data()), std::min(why.size(), kLongestRefusal)});
}

FrameLine::Heard FrameLine::Listen(std::chrono::milliseconds wait, Frame& frame)
{
    std::optional<Frame> next = reader_.Next();
    if (!next && !reader_.Spoilt()) {
        std::vector<std::uint8_t> bytes;
        if (connection_.Receive(bytes, reader_.Wanted(), wait) == LocalConnection::Received::Closed)
            return Heard::Gone;
        reader_.Add(bytes);
        next = reader_.Next();
    }
    if (next) {
        frame = std::move(*next);
        return Heard::Frame;
    }
    return reader_.Spoilt() ? Heard::Gone : Heard::Nothing;
}

}  // namespace vorelle
