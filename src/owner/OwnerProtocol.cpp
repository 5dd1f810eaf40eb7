#include "owner/OwnerProtocol.h"

#include "link/BigEndian.h"
#include "live/LiveDecoder.h"
#include "live/LiveItems.h"

#include <algorithm>

namespace vorelle {

namespace {

constexpr std::size_t kReadingHeaderSize = 16;  // kind, channels, time (8), units (5), count
constexpr std::size_t kReadingItemSize = 5;     // code, value (4)
constexpr std::size_t kStateSize = 9;
constexpr std::size_t kInputSize = 8 + 1 + kReportSize;
// A reading's time, in milliseconds since 1970, lies before the year 10000.
constexpr std::uint64_t kLatestTime = 253402300800000;

struct LengthRule {
    std::uint8_t type;
    std::size_t shortest;
    std::size_t longest;
};

constexpr LengthRule kLengthRules[] = {
    {frame::Live, 1, 1},
    {frame::Follow, 1, 1},
    {frame::Hold, 1, 1},
    {frame::Write, kReportSize, kReportSize},
    {frame::Query, 0, 0},
    {frame::KeepAlive, 0, 0},
    {frame::Reading, kReadingHeaderSize, kReadingHeaderSize + 255 * kReadingItemSize},
    {frame::State, kStateSize, kStateSize},
    {frame::Refused, 1, kLongestRefusal},
    {frame::Granted, 1 + kStateSize, 1 + kStateSize},
    {frame::Written, 1, 1},
    {frame::Input, kInputSize, kInputSize},
};

const LengthRule* RuleOf(std::uint8_t type)
{
    const auto rule = std::find_if(std::begin(kLengthRules), std::end(kLengthRules),
                                   [type](const LengthRule& r) { return r.type == type; });
    return rule == std::end(kLengthRules) ? nullptr : rule;
}

void Put64(std::vector<std::uint8_t>& out, std::uint64_t value)
{
    for (int shift = 56; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    std::uint8_t bytes[4];
    PutBigEndian(bytes, value);
    out.insert(out.end(), bytes, bytes + 4);
}

std::uint64_t Read64(std::span<const std::uint8_t> bytes)
{
    return (std::uint64_t{ReadBigEndian(bytes.first(4))} << 32) | ReadBigEndian(bytes.subspan(4, 4));
}

}  // namespace

std::vector<std::uint8_t> EncodeFrame(std::uint8_t type, std::span<const std::uint8_t> payload)
{
    std::vector<std::uint8_t> out = {type, static_cast<std::uint8_t>(payload.size() >> 8),
                                     static_cast<std::uint8_t>(payload.size())};
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

void FrameReader::Add(std::span<const std::uint8_t> bytes)
{
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
}

std::size_t FrameReader::Wanted() const
{
    if (pending_.size() < kFrameHeaderSize)
        return kFrameHeaderSize - pending_.size();
    const std::size_t whole = kFrameHeaderSize + ((std::size_t{pending_[1]} << 8) | pending_[2]);
    return whole > pending_.size() ? whole - pending_.size() : kFrameHeaderSize;
}

std::optional<Frame> FrameReader::Next()
{
    if (spoilt_ || pending_.size() < kFrameHeaderSize)
        return std::nullopt;
    const std::size_t length = (std::size_t{pending_[1]} << 8) | pending_[2];
    const LengthRule* rule = RuleOf(pending_[0]);
    if (!rule || length < rule->shortest || length > rule->longest) {
        spoilt_ = true;
        pending_.clear();
        return std::nullopt;
    }
    if (pending_.size() < kFrameHeaderSize + length)
        return std::nullopt;
    Frame frame{pending_[0], {pending_.begin() + kFrameHeaderSize, pending_.begin() + kFrameHeaderSize + length}};
    pending_.erase(pending_.begin(), pending_.begin() + kFrameHeaderSize + length);
    return frame;
}

std::vector<std::uint8_t> EncodeState(const OwnerState& state)
{
    std::vector<std::uint8_t> out = {state.connected ? std::uint8_t{1} : std::uint8_t{0}};
    Put64(out, state.opening);
    return out;
}

std::optional<OwnerState> DecodeState(std::span<const std::uint8_t> payload)
{
    if (payload.size() != kStateSize || payload[0] > 1)
        return std::nullopt;
    return OwnerState{payload[0] == 1, Read64(payload.subspan(1))};
}

std::vector<std::uint8_t> EncodeReading(const ServedReading& reading)
{
    const LiveReadings::Snapshot& s = reading.snapshot;
    const UnitCodes& u = s.values.units;
    std::vector<std::uint8_t> out = {reading.simulated ? std::uint8_t{1} : std::uint8_t{0},
                                     s.channelsPresent ? std::uint8_t{1} : std::uint8_t{0}};
    const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(s.takenAt.time_since_epoch());
    Put64(out, static_cast<std::uint64_t>(milliseconds.count()));
    out.insert(out.end(), {u.temperature, u.pressure, u.wind, u.rain, u.light});
    const std::size_t countAt = out.size();
    out.push_back(0);
    for (int code = 0; code <= 0xFF; ++code) {
        if (const std::int32_t* field = FieldOfItem(s.values, static_cast<std::uint8_t>(code))) {
            out.push_back(static_cast<std::uint8_t>(code));
            Put32(out, static_cast<std::uint32_t>(*field));
            ++out[countAt];
        }
    }
    return out;
}

std::optional<ServedReading> DecodeReading(std::span<const std::uint8_t> payload)
{
    if (payload.size() < kReadingHeaderSize || payload[0] > 1 || payload[1] > 1 ||
        payload.size() != kReadingHeaderSize + kReadingItemSize * payload[kReadingHeaderSize - 1] ||
        Read64(payload.subspan(2, 8)) >= kLatestTime)
        return std::nullopt;
    ServedReading reading{payload[0] == 1, {}};
    LiveReadings::Snapshot& s = reading.snapshot;
    ResetLiveValues(s.values);
    s.channelsPresent = payload[1] == 1;
    s.takenAt = std::chrono::system_clock::time_point(std::chrono::duration_cast<std::chrono::system_clock::duration>(
        std::chrono::milliseconds(static_cast<std::int64_t>(Read64(payload.subspan(2, 8))))));
    s.values.units = {payload[10], payload[11], payload[12], payload[13], payload[14]};
    for (std::size_t at = kReadingHeaderSize; at < payload.size(); at += kReadingItemSize) {
        std::int32_t* field = FieldOfItem(s.values, payload[at]);
        if (!field)
            return std::nullopt;
        *field = static_cast<std::int32_t>(ReadBigEndian(payload.subspan(at + 1, 4)));
    }
    return reading;
}

std::vector<std::uint8_t> EncodeGrant(const Grant& grant)
{
    std::vector<std::uint8_t> out = {grant.simulated ? std::uint8_t{1} : std::uint8_t{0}};
    const std::vector<std::uint8_t> state = EncodeState(grant.state);
    out.insert(out.end(), state.begin(), state.end());
    return out;
}

std::optional<Grant> DecodeGrant(std::span<const std::uint8_t> payload)
{
    if (payload.size() != 1 + kStateSize || payload[0] > 1)
        return std::nullopt;
    const std::optional<OwnerState> state = DecodeState(payload.subspan(1));
    if (!state)
        return std::nullopt;
    return Grant{payload[0] == 1, *state};
}

std::vector<std::uint8_t> EncodeInput(const InputReport& input)
{
    std::vector<std::uint8_t> out;
    Put64(out, input.opening);
    out.push_back(static_cast<std::uint8_t>(std::min(input.transferred, kWireReportSize)));
    out.insert(out.end(), input.report.begin(), input.report.end());
    return out;
}

std::optional<InputReport> DecodeInput(std::span<const std::uint8_t> payload)
{
    if (payload.size() != kInputSize || payload[8] > kWireReportSize)
        return std::nullopt;
    InputReport input{Read64(payload), payload[8], {}};
    std::copy(payload.begin() + 9, payload.end(), input.report.begin());
    return input;
}

std::string RefusalText(std::span<const std::uint8_t> payload)
{
    std::string text;
    for (const std::uint8_t byte : payload.first(std::min(payload.size(), kLongestRefusal)))
        text += byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '?';
    return text;
}

}  // namespace vorelle
