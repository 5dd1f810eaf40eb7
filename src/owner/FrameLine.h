#pragma once

#include "owner/LocalSocket.h"
#include "owner/OwnerProtocol.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace vorelle {

// One end of a console-socket connection: frames out and in. A thread at a
// time sends, and a thread at a time listens.
class FrameLine {
public:
    enum class Heard { Frame, Nothing, Gone };

    FrameLine(LocalConnection connection, std::chrono::milliseconds sendWait)
        : connection_(std::move(connection)), sendWait_(sendWait)
    {
    }

    int Fd() const { return connection_.Fd(); }

    // False when the other end did not take the frame within the send wait.
    bool Send(std::uint8_t type, std::span<const std::uint8_t> payload = {});
    void Refuse(std::string_view why);

    // Waits at most `wait` for the next frame. Gone when the other end hung
    // up or sent what is no frame.
    Heard Listen(std::chrono::milliseconds wait, Frame& frame);

private:
    LocalConnection connection_;
    const std::chrono::milliseconds sendWait_;
    FrameReader reader_;
};

// Sends `request` (frame::Live, Follow or Hold) to the program listening on
// the console socket at `socketPath`, and returns the line it answers on.
// Nothing when no program listens there; then `problem` says why when one
// may run but cannot be reached.
std::optional<FrameLine> AskProgram(const std::string& socketPath, std::uint8_t request, std::string& problem);

}  // namespace vorelle
