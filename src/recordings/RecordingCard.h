#pragma once

#include "link/ConsoleLink.h"
#include "link/ReplySinks.h"
#include "recordings/IncomingFile.h"
#include "recordings/RecordingEntry.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <stop_token>
#include <string>
#include <unordered_map>
#include <vector>

namespace vorelle {

enum class ListingStatus {
    Listed,        // the console answered; an empty list was asked for five times
    TimedOut,      // asked twice without an answer; the message says so
    NotConnected,  // no console: nothing was sent
    ConsoleGone,   // the console went away, or the program is ending
};

struct ListingOutcome {
    ListingStatus status = ListingStatus::Listed;
    std::vector<RecordingEntry> files;  // in the order the console sent them
    std::string message;                // empty when there is nothing to tell
};

enum class FetchStatus {
    Complete,      // what the card file gained has joined the local copy
    NothingNew,    // the local copy already holds the whole card file
    TimedOut,      // the console stopped sending; the local copy is unchanged
    Refused,       // the name cannot be fetched into the data folder
    FileError,     // a file of the data folder could not be made, read or written
    NotConnected,  // no console: nothing was sent
    ConsoleGone,   // the console went away during the transfer
    Cancelled,     // stopped on request, or the program is ending
};

struct FetchOutcome {
    FetchStatus status = FetchStatus::Complete;
    std::uint64_t fetched = 0;     // bytes of the card file this transfer added
    std::uint64_t heldBefore = 0;  // bytes of the card file the local copy held before
    std::string message;           // empty when there is nothing to tell
    std::filesystem::path localCopy;

    // The local copy is whole up to where it ends and is to be imported: the
    // transfer completed, had nothing to do, or timed out.
    bool ImportsLocalCopy() const
    {
        return status == FetchStatus::Complete || status == FetchStatus::NothingNew ||
               status == FetchStatus::TimedOut;
    }
};

// How far a transfer has come: bytes received of the bytes it expects.
struct FetchProgress {
    std::uint64_t received = 0;
    std::uint64_t expected = 0;
};
// Called on the fetching thread, at most ten times a second, the last time
// when the transfer ends.
using FetchProgressReport = std::function<void(const FetchProgress&)>;

enum class DeleteStatus {
    Deleted,   // on the card, and the local copy (if there was one)
    CardOnly,  // deleted on the card; the local copy was not, the message says why
    Failed,    // the console did not confirm it; the card and the local copy are unchanged
};

struct DeleteOutcome {
    DeleteStatus status = DeleteStatus::Deleted;
    std::string message;
};

// The console's SD card seen from the PC: lists its recording files, fetches
// one into its local copy in the data folder (continuing where the copy
// ends), and deletes one. Each operation blocks until it ends, so it belongs
// on a worker thread; one runs at a time, and while it runs it is the link's
// receiver of the card's replies (an operation of another card on the same
// link waits for it).
class RecordingCard final : private RecordingReplySink {
public:
    RecordingCard(ConsoleLink& link, std::filesystem::path dataFolder);
    ~RecordingCard() override;
    RecordingCard(const RecordingCard&) = delete;
    RecordingCard& operator=(const RecordingCard&) = delete;

    const std::filesystem::path& DataFolder() const { return dataFolder_; }

    // Asks for the list of files. An empty answer is asked again, up to five
    // requests 200 ms apart; a request without answer is sent once more,
    // after `beforeSecondTry` (the "Read File" box, which closes itself after
    // the two seconds this waits) has been called.
    ListingOutcome List(const std::function<void()>& beforeSecondTry = {});

    // Fetches what the card file `file` (as listed) has beyond the local copy
    // and appends it. `stop` ends the transfer from another thread within a
    // look (100 ms); nothing is then merged.
    FetchOutcome Fetch(const RecordingEntry& file, std::stop_token stop = {},
                       const FetchProgressReport& progress = {});

    // Deletes `file` on the card and, once the console has confirmed that,
    // its local copy.
    DeleteOutcome Delete(const RecordingEntry& file);

private:
    enum class TransferEnd { Complete, TimedOut, ConsoleGone, Cancelled };
    class ProgressThrottle;
    class Operation;

    // The reply sink, on the read thread.
    void OnFileListEntry(const Report& report) override;
    bool OnFileData(const std::uint8_t* data, std::size_t count) override;
    bool OnFileDataEnd() override;
    void OnDeleteResult(std::uint8_t result) override;

    void OpenListing();
    std::vector<RecordingEntry> CloseListing();
    TransferEnd Transfer(const RecordingEntry& file, std::uint64_t held, std::uint64_t expected,
                         std::stop_token stop, ProgressThrottle& progress);
    // Stops the console's stream of `file` after this side gave up on it.
    void SettleStream(const RecordingEntry& file);

    ConsoleLink& link_;
    const std::filesystem::path dataFolder_;

    std::mutex operationMutex_;  // held by the operation that runs (Operation)

    std::mutex listingMutex_;  // protects listingOpen_, listing_ and listingIndex_
    bool listingOpen_ = false;
    std::vector<RecordingEntry> listing_;
    std::unordered_map<std::string, std::size_t> listingIndex_;  // name to its place in listing_

    IncomingFile incoming_;

    std::atomic<int> deleteResult_{-1};
};

}  // namespace vorelle
