#pragma once

#include "link/HidTransport.h"
#include "live/LiveReadings.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vorelle {

// How vorelle2-cli talks to the program that owns the console, over its
// console socket. Everything is a frame: a type byte, the payload's length
// (2 bytes, most significant first) and the payload, whose length each type
// fixes or bounds. The client opens with one request; the program answers.
//
//   client                                program
//   'L' version       the latest reading  'D' reading, or 'N' why not
//   'F' version       follow the poll     'S' state, then 'D' per poll and
//                                         'S' when the console comes or goes
//   'H' version       borrow the link     'G' kind and state, or 'N' why not;
//     'W' report        write a command     'A' taken or not
//     'Q'               ask the state       'S' state
//     'K'               still here (1/s)
//                                         'R' every report the console sends
//
// A borrower that says nothing for a while, or does not read what it is
// sent, loses the link; so does one that hangs up.
namespace frame {
inline constexpr std::uint8_t Live = 'L';
inline constexpr std::uint8_t Follow = 'F';
inline constexpr std::uint8_t Hold = 'H';
inline constexpr std::uint8_t Write = 'W';
inline constexpr std::uint8_t Query = 'Q';
inline constexpr std::uint8_t KeepAlive = 'K';
inline constexpr std::uint8_t Reading = 'D';
inline constexpr std::uint8_t State = 'S';
inline constexpr std::uint8_t Refused = 'N';
inline constexpr std::uint8_t Granted = 'G';
inline constexpr std::uint8_t Written = 'A';
inline constexpr std::uint8_t Input = 'R';
}  // namespace frame

inline constexpr std::uint8_t kOwnerProtocolVersion = 1;
inline constexpr std::size_t kFrameHeaderSize = 3;
// The longest refusal text.
inline constexpr std::size_t kLongestRefusal = 256;

struct Frame {
    std::uint8_t type = 0;
    std::vector<std::uint8_t> payload;
};

std::vector<std::uint8_t> EncodeFrame(std::uint8_t type, std::span<const std::uint8_t> payload = {});

// Takes frames out of the bytes that arrive, in order; a frame of an unknown
// type or of a length its type does not allow spoils the stream.
class FrameReader {
public:
    void Add(std::span<const std::uint8_t> bytes);
    // The next whole frame, if one has arrived.
    std::optional<Frame> Next();
    bool Spoilt() const { return spoilt_; }
    // The most bytes worth receiving now: at most what the next frame lacks.
    std::size_t Wanted() const;

private:
    std::vector<std::uint8_t> pending_;
    bool spoilt_ = false;
};

// The console's state as the program sees it.
struct OwnerState {
    bool connected = false;
    std::uint64_t opening = 0;  // changes with every opening and closing of its link

    friend bool operator==(const OwnerState&, const OwnerState&) = default;
};

std::vector<std::uint8_t> EncodeState(const OwnerState& state);
std::optional<OwnerState> DecodeState(std::span<const std::uint8_t> payload);

// A reading as it travels: what the console is, and the reading, its raw
// values by item code.
struct ServedReading {
    bool simulated = false;
    LiveReadings::Snapshot snapshot;
};

std::vector<std::uint8_t> EncodeReading(const ServedReading& reading);
// Null when the payload is not a reading: a wrong length, or a code that is
// no reading's.
std::optional<ServedReading> DecodeReading(std::span<const std::uint8_t> payload);

struct Grant {
    bool simulated = false;
    OwnerState state;
};

std::vector<std::uint8_t> EncodeGrant(const Grant& grant);
std::optional<Grant> DecodeGrant(std::span<const std::uint8_t> payload);

// One input report of the console, with the opening it was read on.
struct InputReport {
    std::uint64_t opening = 0;
    std::size_t transferred = 0;
    Report report{};
};

std::vector<std::uint8_t> EncodeInput(const InputReport& input);
std::optional<InputReport> DecodeInput(std::span<const std::uint8_t> payload);

// A refusal's text; any byte that is not plain text becomes '?'.
std::string RefusalText(std::span<const std::uint8_t> payload);

}  // namespace vorelle
