// Fuzz entry point for the reply router, fed the way the read thread feeds it:
// the input is a sequence of steps, each either the start of an exchange
// (BeginExchange with the reply code of a command of the command table) or an
// input report of any length and content. The router is checked after every
// step against its routing table, its sinks check the bounds of what they
// are handed, and what it stored is then decoded and shown as the program
// would: the live record, the settings block and the max/min block. Built
// with libFuzzer as router_fuzzer, and without it, under ReplayMain, as the
// corpus replay that ctest runs.
#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "LiveRecordChecks.h"
#include "SettingsBlockChecks.h"

#include "link/Commands.h"
#include "link/ReplyRouter.h"
#include "live/LiveExchanges.h"
#include "sim/SimTransport.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace {

using namespace vorelle;
using fuzz::Check;

constexpr std::size_t kMaxPayload = kReportSize - 2;

// FNV-1a over everything the router lets its owners see, step by step.
class Trace {
public:
    void Add(std::uint64_t value) { Add(reinterpret_cast<const std::uint8_t*>(&value), sizeof value); }
    void Add(const std::uint8_t* bytes, std::size_t count)
    {
        for (std::size_t i = 0; i < count; ++i)
            hash_ = (hash_ ^ bytes[i]) * 0x100000001B3ull;
    }
    std::uint64_t Hash() const { return hash_; }

private:
    std::uint64_t hash_ = 0xCBF29CE484222325ull;
};

// The report being routed: the bytes that arrived are the first `valid`.
struct Arrived {
    const Report* report = nullptr;
    std::size_t valid = 0;
    std::uint32_t pending = 0;

    // Bytes handed on must lie within what arrived; a copy of them can hold
    // no more than that.
    void CheckWithin(const std::uint8_t* bytes, std::size_t count, Trace& trace) const
    {
        const auto begin = reinterpret_cast<std::uintptr_t>(report->data());
        const auto at = reinterpret_cast<std::uintptr_t>(bytes);
        if (at >= begin && at <= begin + report->size())
            Check(count == 0 || (at - begin <= valid && count <= valid - (at - begin)), "a sink gets only bytes that arrived");
        else
            Check(count <= valid, "a sink gets no more bytes than arrived");
        trace.Add(bytes, count);
    }
};

class RecordingSink final : public RecordingReplySink {
public:
    RecordingSink(const Arrived& arrived, Trace& trace) : arrived_(arrived), trace_(trace) {}
    bool fileDataCompletes = false;
    bool fileEndCompletes = true;

    void OnFileListEntry(const Report& report) override
    {
        Check(arrived_.pending == CMD_READ_FILE_LIST.reply, "a file entry only while the file list is awaited");
        Check(arrived_.valid > 6 && report[6] != 0, "a file entry names a file");
        arrived_.CheckWithin(report.data(), arrived_.valid, trace_);
    }
    bool OnFileData(const std::uint8_t* data, std::size_t count) override
    {
        Check(arrived_.pending == CMD_READ_FILE.reply, "file data only while a file is awaited");
        arrived_.CheckWithin(data, count, trace_);
        return fileDataCompletes;
    }
    bool OnFileDataEnd() override
    {
        Check(arrived_.pending == CMD_READ_FILE.reply, "a file ends only while a file is awaited");
        trace_.Add(1);
        return fileEndCompletes;
    }
    void OnDeleteResult(std::uint8_t result) override
    {
        Check(arrived_.pending == CMD_DELETE_FILE.reply && arrived_.valid > 2, "a delete result while one is awaited");
        trace_.Add(result);
    }

private:
    const Arrived& arrived_;
    Trace& trace_;
};

class FirmwareSink final : public FirmwareReplySink {
public:
    FirmwareSink(const Arrived& arrived, Trace& trace) : arrived_(arrived), trace_(trace) {}

    void OnVersionReply(const std::uint8_t* report, std::size_t count) override
    {
        Check(arrived_.pending == CMD_SOFT_VER.reply, "a version reply while one is awaited");
        arrived_.CheckWithin(report, count, trace_);
    }
    void OnEraseReply(const std::uint8_t* report, std::size_t count) override
    {
        Check(arrived_.pending == CMD_ERASE_DEVICE.reply, "an erase reply while one is awaited");
        arrived_.CheckWithin(report, count, trace_);
    }
    void OnReadBack(std::uint32_t wordAddress, const std::uint8_t* data, std::size_t count) override
    {
        Check(arrived_.pending == CMD_READ_BLOCK.reply, "read-back data while a block is awaited");
        trace_.Add(wordAddress);
        arrived_.CheckWithin(data, count, trace_);
    }

private:
    const Arrived& arrived_;
    Trace& trace_;
};

// The slot a reply code is stored in, if any.
std::optional<std::size_t> SlotOf(std::uint32_t reply)
{
    switch (reply) {
    case 0x01: return ReplyArea::kLiveSlot;
    case 0x02: return ReplyArea::kSettingSlot;
    case 0x04: return ReplyArea::kCalibSlot;
    case 0x06: return ReplyArea::kAlarmSlot;
    case 0x08: return ReplyArea::kMaxMinSlot;
    default: return std::nullopt;
    }
}

using Slots = std::array<ReplyArea::Slot, ReplyArea::kSlotCount>;

// A slot that holds a reply from byte `from` of the report on: if the report
// changed it at all, it holds what arrived from there, and nothing beyond.
void CheckStoredFrom(const ReplyArea::Slot& before, const ReplyArea::Slot& after, const Arrived& arrived,
                     std::size_t from)
{
    if (before == after)
        return;
    const std::size_t stored = arrived.valid > from ? arrived.valid - from : 0;
    const auto firstChanged = std::mismatch(before.begin(), before.end(), after.begin()).first - before.begin();
    std::size_t lastChanged = before.size();
    while (before[lastChanged - 1] == after[lastChanged - 1])
        --lastChanged;
    Check(lastChanged <= stored, "a reply is stored no further than what arrived");
    Check(std::equal(after.begin() + firstChanged, after.begin() + static_cast<std::ptrdiff_t>(lastChanged),
                     arrived.report->begin() + static_cast<std::ptrdiff_t>(from) + firstChanged),
          "a slot holds the bytes that arrived");
}

class RouterRun {
public:
    // What the bytes of each report past what arrived hold, as a buffer that
    // held an earlier report would: the awaited code in every byte, or a
    // pattern that matches nothing.
    enum class Stale { AwaitedCode, Pattern };

    explicit RouterRun(Stale stale) : stale_(stale)
    {
        router_.SetRecordingSink(&recordings_);
        router_.SetFirmwareSink(&firmware_);
        router_.AddScreenFlag(screenFlag_);
    }
    ~RouterRun() { router_.RemoveScreenFlag(screenFlag_); }

    void Run(fuzz::FuzzInput input)
    {
        while (!input.Empty()) {
            const std::uint8_t step = input.Byte();
            if (step % 4 == 0)
                Begin(kCommandTable[(step / 4) % std::size(kCommandTable)]);
            else
                Route(input);
        }
    }

    std::uint64_t TraceHash() const { return trace_.Hash(); }

    // Decodes and shows what the router stored, as the program reads it.
    void CheckStored() const
    {
        const ReplyArea::Slot settings = area_.CopySlot(ReplyArea::kSettingSlot);
        fuzz::CheckBasicSettingsBlock(settings);
        const UnitCodes units = UnitCodesOfSettingsBlock(settings);
        fuzz::CheckShownMaxMin(fuzz::CheckMaxMinBlock(area_.CopySlot(ReplyArea::kMaxMinSlot)), units);
        const std::vector<std::uint8_t> record = area_.LiveRecord();
        fuzz::CheckShownReadings(fuzz::CheckDecodeLive(record, units));
    }

private:
    void Begin(const CommandSpec& command)
    {
        link_.ReplyEvent.Reset();
        router_.BeginExchange(command.reply);
        Check(link_.PendingReply == command.reply, "an exchange awaits its reply");
        trace_.Add(command.reply);
    }

    // One report: the bytes transferred (0 to 71, counting the report id, so
    // short, full and over-long reads), a shape byte, then what arrived.
    // Shape bit 0 echoes the awaited code and bit 1 makes the length byte
    // count at most what arrived, as the console does; bits 2 and 3 are the
    // answers of the file-data sink to a packet and to the stream's end.
    void Route(fuzz::FuzzInput& input)
    {
        const std::size_t transferred = input.Byte() % (kWireReportSize + 7);
        const std::uint8_t shape = input.Byte();
        const std::uint32_t pending = link_.PendingReply;
        Report report;
        for (std::size_t i = 0; i < report.size(); ++i)
            report[i] = static_cast<std::uint8_t>(stale_ == Stale::AwaitedCode ? pending : 0xA5 + i * 0x3B);
        const std::size_t valid = std::min(transferred > 0 ? transferred - 1 : 0, report.size());
        for (std::size_t i = 0; i < valid; ++i)
            report[i] = input.Byte();
        if ((shape & 1) && valid > 0)
            report[0] = static_cast<std::uint8_t>(pending);
        if ((shape & 2) && valid > 1)
            report[1] = static_cast<std::uint8_t>(2 + report[1] % (valid - 1));
        recordings_.fileDataCompletes = (shape & 4) != 0;
        recordings_.fileEndCompletes = (shape & 8) == 0;

        arrived_ = {&report, valid, pending};
        Slots before;
        for (std::size_t s = 0; s < before.size(); ++s)
            before[s] = area_.CopySlot(s);
        const std::uint32_t liveLengthBefore = area_.LiveLength();
        const std::uint64_t droppedBefore = router_.DroppedReports();
        const std::uint32_t flagBefore = screenFlag_;

        router_.RouteReply(report, transferred);

        const std::optional<std::size_t> slot = SlotOf(pending);
        for (std::size_t s = 0; s < before.size(); ++s) {
            const ReplyArea::Slot after = area_.CopySlot(s);
            if (s != slot) {
                Check(after == before[s], "a reply goes only to the slot of the awaited code");
                continue;
            }
            if (s != ReplyArea::kLiveSlot)
                CheckStoredFrom(before[s], after, arrived_, s == ReplyArea::kMaxMinSlot ? 2 : 0);
            trace_.Add(after.data(), after.size());
        }
        const std::uint32_t liveLength = area_.LiveLength();
        Check(pending == CMD_READ_LIVE.reply || liveLength == liveLengthBefore, "only the live record sets its length");
        Check(liveLength <= 2 * kMaxPayload && area_.LiveRecord().size() == liveLength,
              "a live record is at most two reports' payloads");
        const std::uint32_t pendingAfter = link_.PendingReply;
        Check(pendingAfter == pending || pendingAfter == 0, "the router only clears the awaited code");
        Check(router_.DroppedReports() >= droppedBefore, "dropped reports are counted");
        Check(pending == CMD_READ_SCREEN.reply || screenFlag_ == flagBefore, "only a screen check sets the flags");
        Check(screenFlag_ <= 0xFF, "a screen flag holds one byte");
        trace_.Add(liveLength);
        trace_.Add(pendingAfter);
        trace_.Add(link_.ReplyEvent.IsSet());
        trace_.Add(router_.DroppedReports());
        trace_.Add(screenFlag_);
    }

    const Stale stale_;
    SimTransport transport_;  // no device: nothing is ever read or written
    HidLink link_{transport_};
    ReplyArea area_;
    ReplyRouter router_{link_, area_};
    ScreenFlag screenFlag_{1};
    Trace trace_;
    Arrived arrived_;
    RecordingSink recordings_{arrived_, trace_};
    FirmwareSink firmware_{arrived_, trace_};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The same steps twice, with different stale bytes past what each report
    // brought: what the router does must not depend on them.
    RouterRun run(RouterRun::Stale::AwaitedCode);
    run.Run(fuzz::FuzzInput(data, size));
    RouterRun again(RouterRun::Stale::Pattern);
    again.Run(fuzz::FuzzInput(data, size));
    Check(run.TraceHash() == again.TraceHash(), "bytes past what arrived change nothing");
    run.CheckStored();
    return 0;
}
