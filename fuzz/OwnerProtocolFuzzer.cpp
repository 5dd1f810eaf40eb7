// Fuzz entry point for what comes through the console socket: the bytes a
// client or the program sends, cut into frames and each frame's payload
// read as its type says. The first byte sets how many bytes each read
// brings, as a socket may cut them anywhere.
// Built with libFuzzer as owner_protocol_fuzzer, and without it, under
// ReplayMain, as the corpus replay that ctest runs.
#include "FuzzCheck.h"
#include "FuzzInput.h"

#include "owner/OwnerProtocol.h"

#include <algorithm>
#include <span>
#include <vector>

namespace {

using namespace vorelle;
using fuzz::Check;

bool SameReading(const ServedReading& a, const ServedReading& b)
{
    return a.simulated == b.simulated && a.snapshot.values == b.snapshot.values &&
           a.snapshot.channelsPresent == b.snapshot.channelsPresent && a.snapshot.takenAt == b.snapshot.takenAt;
}

// A payload is read as its type says, or refused; what is read is written
// back to the same payload (a reading: to one that reads the same).
void CheckPayload(const Frame& frame)
{
    const std::span<const std::uint8_t> payload = frame.payload;
    switch (frame.type) {
    case frame::Reading:
        if (const std::optional<ServedReading> reading = DecodeReading(payload)) {
            const std::optional<ServedReading> again = DecodeReading(EncodeReading(*reading));
            Check(again && SameReading(*again, *reading), "a reading written again reads the same");
        }
        break;
    case frame::State:
        if (const std::optional<OwnerState> state = DecodeState(payload))
            Check(EncodeState(*state) == frame.payload, "a state is written back as it came");
        break;
    case frame::Granted:
        if (const std::optional<Grant> grant = DecodeGrant(payload))
            Check(EncodeGrant(*grant) == frame.payload, "a grant is written back as it came");
        break;
    case frame::Input:
        if (const std::optional<InputReport> input = DecodeInput(payload)) {
            Check(input->transferred <= kWireReportSize, "a report never says it carried more than a report");
            Check(EncodeInput(*input) == frame.payload, "a report is written back as it came");
        }
        break;
    case frame::Refused: {
        const std::string text = RefusalText(payload);
        Check(text.size() == payload.size() && text.size() <= kLongestRefusal, "a refusal is its bytes, no more");
        Check(std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; }),
              "a refusal is shown as plain text");
        break;
    }
    default:
        break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::FuzzInput input(data, size);
    const std::size_t cut = input.Byte() % 8 + 1;
    const std::span<const std::uint8_t> stream = input.Rest();
    FrameReader reader;
    std::vector<std::uint8_t> framed;
    for (std::size_t at = 0; at < stream.size() && !reader.Spoilt();) {
        const std::size_t take = std::min({cut, reader.Wanted(), stream.size() - at});
        reader.Add(stream.subspan(at, take));
        at += take;
        while (std::optional<Frame> frame = reader.Next()) {
            const std::vector<std::uint8_t> again = EncodeFrame(frame->type, frame->payload);
            framed.insert(framed.end(), again.begin(), again.end());
            CheckPayload(*frame);
        }
    }
    Check(framed.size() <= stream.size() && std::equal(framed.begin(), framed.end(), stream.begin()),
          "the frames taken out are the bytes that came, in order");
    return 0;
}
