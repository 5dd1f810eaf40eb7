#include "recordings/RecordingCard.h"

#include "link/Commands.h"
#include "recordings/LocalCopy.h"
#include "recordings/RecordingMessages.h"
#include "recordings/RecordingNames.h"
#include "recordings/RecordingReports.h"
#include "recordings/StdioFile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <utility>

namespace vorelle {

namespace fs = std::filesystem;

namespace {

// The listing: an empty answer is asked again up to four more times, this
// far apart; an unanswered request is sent once more after the "Read File"
// box has shown for its two seconds, and then waited for this long.
constexpr int kEmptyListingRetries = 4;
constexpr int kEmptyListingPauseMs = 200;
constexpr int kReadingBoxMs = 2000;
constexpr int kSecondListingWaitMs = 3000;

// The transfer looks at the stream this often. Without any packet since the
// transfer began it gives up a request after 4 idle looks; once packets have
// come, a stream idle for 21 looks has stalled. A stalled stream is asked
// again from where it stopped, at most this many times in a row without a
// new packet.
constexpr int kLookMs = 100;
constexpr int kNoAnswerLooks = 3;
constexpr int kStallLooks = 20;
constexpr int kMaxAsksWithoutNews = 5;
// A console that goes on streaming after it was asked to stop is not waited
// for longer than this.
constexpr int kMaxSettleLooks = 50;

constexpr int kDeleteAttempts = 4;
constexpr int kDeleteRefused = 1;
constexpr int kNoDeleteResult = -1;

// Progress reaches the owner at most once in this time.
constexpr std::chrono::milliseconds kProgressInterval{100};

StdioFile OpenFile(const fs::path& path, const char* mode) { return StdioFile(std::fopen(path.c_str(), mode)); }

std::string Quoted(const RecordingEntry& file) { return "\"" + NameText(file.name) + "\""; }

std::string NotAFileNameText(const RecordingEntry& file)
{
    return Quoted(file) +
           " cannot be exported: its name is a path, or the name of one of Vorelle 2's own files, so it is never "
           "written to the data folder.";
}

std::string NameTooLongText(const RecordingEntry& file)
{
    return Quoted(file) + " cannot be exported: its name is longer than the " +
           std::to_string(kMaxRequestNameLength) + " characters the console can be asked for.";
}

std::string NotWrittenText(const std::string& what, int error)
{
    return "The fetched bytes could not be written to " + what + " (" + std::strerror(error) +
           "). The local copy is left as it was.";
}

std::string CardOnlyText(const RecordingEntry& file, const std::string& why)
{
    return Quoted(file) + " was deleted on the console, but " + why;
}

FetchOutcome Failure(FetchStatus status, std::string message) { return {status, 0, 0, std::move(message), {}}; }

}  // namespace

// Hands progress on at most ten times a second over the transfer, the last
// time at its end: the n-th report before the end comes no sooner than n + 1
// intervals after the start, which keeps one for the end.
class RecordingCard::ProgressThrottle {
public:
    ProgressThrottle(const FetchProgressReport& report, std::uint64_t expected)
        : report_(report), expected_(expected), start_(std::chrono::steady_clock::now())
    {
    }

    void Report(std::uint64_t received)
    {
        if (!report_ || std::chrono::steady_clock::now() - start_ < kProgressInterval * (sent_ + 2))
            return;
        ++sent_;
        report_({std::min(received, expected_), expected_});
    }

    void Final(std::uint64_t received)
    {
        if (report_)
            report_({std::min(received, expected_), expected_});
    }

private:
    const FetchProgressReport& report_;
    const std::uint64_t expected_;
    const std::chrono::steady_clock::time_point start_;
    int sent_ = 0;
};

// One operation of a card: it runs alone on this card, and on the link it
// alone receives the card's replies.
class RecordingCard::Operation {
public:
    explicit Operation(RecordingCard& card) : lock_(card.operationMutex_), card_(card)
    {
        card_.link_.Router().HoldRecordingSink(&card_);
    }
    ~Operation() { card_.link_.Router().ReleaseRecordingSink(&card_); }
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;

private:
    std::lock_guard<std::mutex> lock_;
    RecordingCard& card_;
};

RecordingCard::RecordingCard(ConsoleLink& link, fs::path dataFolder) : link_(link), dataFolder_(std::move(dataFolder))
{
}

RecordingCard::~RecordingCard() = default;

void RecordingCard::OpenListing()
{
    std::lock_guard lock(listingMutex_);
    // A request sent again starts from an empty list, so no file is listed twice.
    listing_.clear();
    listingIndex_.clear();
    listingOpen_ = true;
}

std::vector<RecordingEntry> RecordingCard::CloseListing()
{
    std::lock_guard lock(listingMutex_);
    listingOpen_ = false;
    listingIndex_.clear();
    return std::exchange(listing_, {});
}

void RecordingCard::OnFileListEntry(const Report& report)
{
    const std::optional<RecordingEntry> entry = ParseFileEntry(report);
    if (!entry)
        return;
    std::lock_guard lock(listingMutex_);
    if (!listingOpen_)
        return;
    // A name the console repeats keeps its first place and its last size.
    const auto [at, added] = listingIndex_.try_emplace(entry->name, listing_.size());
    if (added)
        listing_.push_back(*entry);
    else
        listing_[at->second].size = entry->size;
}

ListingOutcome RecordingCard::List(const std::function<void()>& beforeSecondTry)
{
    const Operation operation(*this);
    if (!link_.Connected())
        return {ListingStatus::NotConnected, {}, {}};
    const Report request = MakeCommand(CMD_READ_FILE_LIST);
    for (int attempt = 0;; ++attempt) {
        OpenListing();
        ExchangeResult result = link_.Exchange(request, CMD_READ_FILE_LIST);
        if (result == ExchangeResult::TimedOut) {
            if (beforeSecondTry)
                beforeSecondTry();
            link_.Link().Pause(kReadingBoxMs);
            OpenListing();
            result = link_.Exchange(request, CMD_READ_FILE_LIST, kSecondListingWaitMs);
            if (result == ExchangeResult::TimedOut) {
                CloseListing();
                return {ListingStatus::TimedOut, {}, std::string(kListingTimeoutText)};
            }
        }
        std::vector<RecordingEntry> files = CloseListing();
        if (result == ExchangeResult::NotConnected)
            return {ListingStatus::NotConnected, {}, {}};
        if (!ConsoleStayed(result))
            return {ListingStatus::ConsoleGone, {}, {}};
        if (!files.empty() || attempt == kEmptyListingRetries)
            return {ListingStatus::Listed, std::move(files), {}};
        link_.Link().Pause(kEmptyListingPauseMs);
    }
}

bool RecordingCard::OnFileData(const std::uint8_t* data, std::size_t count) { return incoming_.Accept(data, count); }

bool RecordingCard::OnFileDataEnd() { return incoming_.AcceptEnd(); }

void RecordingCard::OnDeleteResult(std::uint8_t result) { deleteResult_ = result; }

RecordingCard::TransferEnd RecordingCard::Transfer(const RecordingEntry& file, std::uint64_t held,
                                                   std::uint64_t expected, std::stop_token stop,
                                                   ProgressThrottle& progress)
{
    std::uint64_t lastSeen = 0;
    int asksWithoutNews = 0;
    for (;;) {
        // A stop asked for before the request goes out is honoured even when
        // the console would stream the whole file before the first look.
        if (stop.stop_requested())
            return TransferEnd::Cancelled;
        const std::uint64_t packetsBefore = incoming_.Packets();
        int idleLooks = 0;
        bool cancelled = false;
        bool allArrived = false;
        // A stalled stream is asked for the rest, from where it stopped.
        const Report request = MakeFileRequest(file, static_cast<std::uint32_t>(held + incoming_.Kept()));
        const ExchangeResult result = link_.Exchange(request, CMD_READ_FILE, kLookMs, [&] {
            if (stop.stop_requested()) {
                cancelled = true;
                return false;
            }
            progress.Report(incoming_.Received());
            const std::uint64_t packets = incoming_.Packets();
            if (packets != lastSeen) {
                lastSeen = packets;
                idleLooks = 0;
                return true;
            }
            ++idleLooks;
            if (packets == 0)
                return idleLooks <= kNoAnswerLooks;
            // Every expected byte is here, and no short packet came after
            // them: the stream is over all the same.
            allArrived = incoming_.Received() >= expected;
            return !allArrived && idleLooks <= kStallLooks;
        });
        if (cancelled || result == ExchangeResult::Abandoned)
            return TransferEnd::Cancelled;
        if (result == ExchangeResult::Answered || allArrived)
            return TransferEnd::Complete;
        if (result != ExchangeResult::TimedOut)
            return TransferEnd::ConsoleGone;
        // Without a limit a console that never sends again would hold the
        // transfer, and the dialog with it, for ever.
        if (incoming_.Packets() > packetsBefore)
            asksWithoutNews = 0;
        if (asksWithoutNews == kMaxAsksWithoutNews)
            return TransferEnd::TimedOut;
        ++asksWithoutNews;
    }
}

void RecordingCard::SettleStream(const RecordingEntry& file)
{
    // Asked for the file from its end, the console drops the stream it was
    // sending and answers with little more than a short packet. Once nothing
    // has come for a while every packet of the old stream has passed.
    incoming_.Drain();
    std::uint64_t lastSeen = 0;
    int idleLooks = 0;
    int looks = 0;
    link_.Exchange(MakeFileRequest(file, file.size), CMD_READ_FILE, kLookMs, [&] {
        const std::uint64_t packets = incoming_.Packets();
        if (packets != lastSeen) {
            lastSeen = packets;
            idleLooks = 0;
        }
        return ++idleLooks <= kNoAnswerLooks && ++looks <= kMaxSettleLooks;
    });
    incoming_.End();
}

FetchOutcome RecordingCard::Fetch(const RecordingEntry& file, std::stop_token stop,
                                  const FetchProgressReport& progress)
{
    const Operation operation(*this);
    switch (CheckExportName(file.name)) {
    case ExportNameCheck::NotAFileName:
        return Failure(FetchStatus::Refused, NotAFileNameText(file));
    case ExportNameCheck::TooLongToRequest:
        return Failure(FetchStatus::Refused, NameTooLongText(file));
    case ExportNameCheck::Fits:
        break;
    }
    const fs::path copy = *LocalCopyPath(dataFolder_, file.name);
    const fs::path workingPath = dataFolder_ / kWorkingFileName;

    std::error_code ignored;
    fs::remove(workingPath, ignored);
    const StdioFile working = OpenFile(workingPath, "w+b");
    if (!working)
        return Failure(FetchStatus::FileError, std::string(kWorkingFileNotCreatedText));

    const bool isNew = !fs::exists(copy, ignored);
    if (isNew && !OpenFile(copy, "wb"))
        return Failure(FetchStatus::FileError, std::string(kLocalCopyNotCreatedText));
    std::uint64_t held = 0;
    if (CountHeldBytes(copy, held))
        return Failure(FetchStatus::FileError, std::string(kLocalCopyNotOpenedText));
    // A copy longer than the card file by more than a byte is of another
    // card (or one that was reset): it starts again from nothing.
    if (!isNew && held > std::uint64_t{file.size} + 1) {
        if (!OpenFile(copy, "wb"))
            return Failure(FetchStatus::FileError, std::string(kLocalCopyNotRecreatedText));
        held = 0;
    }

    FetchOutcome outcome{FetchStatus::NothingNew, 0, held, {}, copy};
    if (file.size <= held)
        return outcome;
    const std::uint64_t expected = file.size - held;
    ProgressThrottle throttle(progress, expected);
    if (!link_.Connected()) {
        fs::remove(workingPath, ignored);
        outcome.status = FetchStatus::NotConnected;
        return outcome;
    }

    incoming_.Begin(working.get(), expected);
    const TransferEnd end = Transfer(file, held, expected, stop, throttle);
    const int writeError = incoming_.End();
    const std::uint64_t kept = incoming_.Kept();
    throttle.Final(kept);
    // A console left streaming would pour the rest of this file into the
    // next transfer.
    if (end == TransferEnd::Cancelled || writeError != 0)
        SettleStream(file);

    if (end != TransferEnd::Complete) {
        fs::remove(workingPath, ignored);
        outcome.status = end == TransferEnd::TimedOut    ? FetchStatus::TimedOut
                         : end == TransferEnd::Cancelled ? FetchStatus::Cancelled
                                                         : FetchStatus::ConsoleGone;
        if (end == TransferEnd::TimedOut)
            outcome.message = kFileTimeoutText;
        return outcome;
    }
    errno = 0;
    if (writeError != 0 || std::fflush(working.get()) != 0 || std::fseek(working.get(), 0, SEEK_SET) != 0) {
        const int error = writeError != 0 ? writeError : (errno != 0 ? errno : EIO);
        fs::remove(workingPath, ignored);
        outcome.status = FetchStatus::FileError;
        outcome.message = NotWrittenText(std::string(kWorkingFileName), error);
        return outcome;
    }
    if (const std::error_code error = AppendToLocalCopy(working.get(), copy)) {
        outcome.status = FetchStatus::FileError;
        outcome.message = NotWrittenText(Quoted(file), error.value());
        return outcome;
    }
    outcome.status = FetchStatus::Complete;
    outcome.fetched = kept;
    return outcome;
}

DeleteOutcome RecordingCard::Delete(const RecordingEntry& file)
{
    const Operation operation(*this);
    bool deleted = false;
    if (file.name.size() <= kMaxDeleteNameLength) {
        const Report request = MakeDeleteRequest(file.name);
        for (int attempt = 0; attempt < kDeleteAttempts && !deleted; ++attempt) {
            deleteResult_ = kNoDeleteResult;
            const ExchangeResult result = link_.Exchange(request, CMD_DELETE_FILE);
            // Only the console's own answer tells that the file is gone.
            const int answer = deleteResult_;
            deleted = result == ExchangeResult::Answered && answer != kNoDeleteResult && answer != kDeleteRefused;
            if (!ConsoleStayed(result))
                break;
        }
    }
    if (!deleted)
        return {DeleteStatus::Failed, std::string(kDeleteFailedText)};

    const std::optional<fs::path> copy = LocalCopyPath(dataFolder_, file.name);
    if (!copy)
        return {DeleteStatus::CardOnly,
                CardOnlyText(file, "its name is not a file name of the data folder, so no local copy was deleted.")};
    std::error_code error;
    fs::remove(*copy, error);
    if (error)
        return {DeleteStatus::CardOnly, CardOnlyText(file, "its local copy could not be deleted (" + error.message() + ").")};
    return {DeleteStatus::Deleted, {}};
}

}  // namespace vorelle
