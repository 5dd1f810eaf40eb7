#include "recordings/RecordingMessages.h"
#include "recordings/RecordingNames.h"
#include "support/CardFixture.h"
#include "support/FileSizeLimit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <set>
#include <thread>

namespace vorelle {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace std::string_literals;
using test::Clock;
using test::LocalClock;
using test::ReadWhole;

class RecordingCardTest : public test::CardFixture {
protected:
    static constexpr const char* kToday = "20260512.csv";

    std::set<std::pair<std::string, std::uint32_t>> CardListing() const
    {
        std::set<std::pair<std::string, std::uint32_t>> files;
        for (const SimCardFile& file : console.Card().Files(Time()))
            files.insert({file.name, static_cast<std::uint32_t>(file.content->size())});
        return files;
    }

    // The offsets the console was asked for, in order.
    std::vector<std::uint32_t> RequestedOffsets() const
    {
        std::vector<std::uint32_t> offsets;
        for (const Report& r : console.ReceivedCommands(0x0B))
            offsets.push_back((static_cast<std::uint32_t>(r[2]) << 24) | (r[3] << 16) | (r[4] << 8) | r[5]);
        return offsets;
    }
};

TEST_F(RecordingCardTest, ListingNamesEveryFileOnceWithItsSizeAndDatesSortNewestFirst)
{
    const ListingOutcome listing = card.List();
    ASSERT_EQ(listing.status, ListingStatus::Listed);
    std::set<std::pair<std::string, std::uint32_t>> listed;
    for (const RecordingEntry& file : listing.files)
        listed.insert({file.name, file.size});
    EXPECT_EQ(listed, CardListing());
    EXPECT_EQ(listing.files.size(), 9u);

    std::vector<RecordingEntry> sorted = listing.files;
    SortNewestFirst(sorted);
    EXPECT_NE(sorted, listing.files) << "the console's own order is no order";
    std::vector<std::string> weather;
    for (const RecordingEntry& file : sorted)
        if (file.name.find("CH") == std::string::npos && file.name.find("SM") == std::string::npos)
            weather.push_back(file.name);
    EXPECT_EQ(weather, (std::vector<std::string>{"20260512.csv", "20260511.csv", "20260510.csv"}));
}

TEST_F(RecordingCardTest, EmptyAndSilentListingsAreAskedAgainAsFarAsTheyMayBe)
{
    struct Case {
        const char* label;
        int emptyListings;
        int silentListings;
        int lateReplyMs;
        ListingStatus status;
        std::size_t requests;
        int readingBoxes;
        bool files;
    };
    const Case cases[] = {
        {"answered at once", 0, 0, 0, ListingStatus::Listed, 1, 0, true},
        {"empty twice, then the files", 2, 0, 0, ListingStatus::Listed, 3, 0, true},
        {"empty every time", 5, 0, 0, ListingStatus::Listed, 5, 0, false},
        {"silent once", 0, 1, 0, ListingStatus::Listed, 2, 1, true},
        {"silent twice", 0, 2, 0, ListingStatus::TimedOut, 2, 1, false},
        // Every answer comes 2.5 s late: the first misses its 2 s wait, the
        // second lands half a second inside its 3 s one, and the files are
        // listed once each. Half a second either way keeps the threads'
        // timing out of it.
        {"later than the wait", 0, 0, 2500, ListingStatus::Listed, 2, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        console.ClearReceived();
        console.Card().Faults().emptyListings = c.emptyListings;
        console.Card().Faults().silentListings = c.silentListings;
        console.Faults().lateReplyMs = c.lateReplyMs;
        int readingBoxes = 0;
        const ListingOutcome listing = card.List([&] { ++readingBoxes; });
        EXPECT_EQ(listing.status, c.status);
        EXPECT_EQ(Requests(0x0A), c.requests);
        EXPECT_EQ(readingBoxes, c.readingBoxes);
        EXPECT_EQ(listing.message, c.status == ListingStatus::TimedOut ? kListingTimeoutText : "");
        std::multiset<std::string> names;
        for (const RecordingEntry& file : listing.files)
            names.insert(file.name);
        EXPECT_EQ(names.size(), c.files ? 9u : 0u);
        EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size()) << "a file listed twice";
    }
}

TEST_F(RecordingCardTest, EntriesThatDoNotFitAreDroppedAndEveryOtherOneIsListed)
{
    for (const std::size_t length : {53, 54, 57, 58})
        console.Card().AddFile(std::string(length, 'a' + static_cast<char>(length - 53)), "x");
    for (int i = 0; i < 520; ++i)
        console.Card().AddFile("extra" + std::to_string(i) + ".csv", std::string(static_cast<std::size_t>(i), 'y'));

    const ListingOutcome listing = card.List();
    ASSERT_EQ(listing.status, ListingStatus::Listed);
    EXPECT_EQ(listing.files.size(), 9u + 3u + 520u);
    std::set<std::size_t> lengths;
    for (const RecordingEntry& file : listing.files)
        lengths.insert(file.name.size());
    EXPECT_TRUE(lengths.contains(53) && lengths.contains(54) && lengths.contains(57));
    EXPECT_FALSE(lengths.contains(58));
}

TEST_F(RecordingCardTest, WithoutAConsoleNothingIsSent)
{
    const RecordingEntry today = Listed(kToday);
    console.ClearReceived();
    transport.Unplug();
    EXPECT_EQ(card.List().status, ListingStatus::NotConnected);
    EXPECT_EQ(card.Fetch(today).status, FetchStatus::NotConnected);
    const DeleteOutcome deleted = card.Delete(today);
    EXPECT_EQ(deleted.status, DeleteStatus::Failed);
    EXPECT_EQ(deleted.message, kDeleteFailedText);
    EXPECT_TRUE(console.ReceivedCommands().empty());
    EXPECT_FALSE(fs::exists(data.Path() / kWorkingFileName));
}

TEST_F(RecordingCardTest, EachFetchAddsWhatTheCardFileGainedAndNothingElse)
{
    std::uint64_t held = 0;
    // A reading being written (its line partly there), the same reading
    // written, and nothing new.
    for (const Clock::time_point time : {Time(), Time() + 5min + 1s, Time() + 5min + 3s, Time() + 5min + 3s}) {
        SetTime(time);
        const RecordingEntry file = Listed(kToday);
        const std::size_t requestsBefore = Requests(0x0B);
        std::vector<FetchProgress> progress;
        const FetchOutcome outcome = card.Fetch(file, {}, [&](const FetchProgress& p) { progress.push_back(p); });
        EXPECT_EQ(outcome.heldBefore, held);
        EXPECT_EQ(outcome.fetched, file.size - held);
        EXPECT_TRUE(outcome.ImportsLocalCopy());
        EXPECT_EQ(outcome.localCopy, data.Path() / kToday);
        EXPECT_EQ(LocalCopy(kToday), CardFileWithCrLf(kToday));
        if (file.size == held) {
            EXPECT_EQ(outcome.status, FetchStatus::NothingNew);
            EXPECT_EQ(Requests(0x0B), requestsBefore) << "nothing to fetch, nothing asked";
            continue;
        }
        EXPECT_EQ(outcome.status, FetchStatus::Complete);
        EXPECT_EQ(RequestedOffsets().back(), held);
        ASSERT_FALSE(progress.empty());
        EXPECT_EQ(progress.back().received, file.size - held);
        for (const FetchProgress& p : progress)
            EXPECT_EQ(p.expected, file.size - held);
        EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end(),
                                   [](const FetchProgress& a, const FetchProgress& b) { return a.received < b.received; }));
        held = file.size;
    }
}

TEST_F(RecordingCardTest, UnpluggedAtAnyPacketTheNextFetchCompletesTheCopyByteForByte)
{
    std::mt19937 random(20260512);
    for (int round = 0; round < 14; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        // Another time of day each round; some rounds catch a line half written.
        SetTime(LocalClock(2026, 5, 12, 6, 0) + std::chrono::seconds(random() % (4 * 3600)));
        const std::string name = round % 3 == 1 ? "20260512CH.csv" : kToday;
        fs::remove(data.Path() / name);
        RecordingEntry file = Listed(name);
        const auto packets = static_cast<int>(file.size / 60 + 1);
        // One or two cuts, then a fetch that runs to the end.
        for (int cut = 0; cut <= round % 2; ++cut) {
            console.Card().Faults().unplugAtPacket = static_cast<int>(random() % static_cast<unsigned>(packets));
            const FetchOutcome cutShort = card.Fetch(file);
            EXPECT_EQ(cutShort.status, FetchStatus::ConsoleGone);
            EXPECT_FALSE(fs::exists(data.Path() / kWorkingFileName));
            transport.Plug();
            ASSERT_TRUE(link.Connected());
        }
        if (round % 4 == 3) {
            SetTime(Time() + 7min);  // the file grew while the cable was out
            file = Listed(name);
        }
        EXPECT_EQ(card.Fetch(file).status, FetchStatus::Complete);
        EXPECT_EQ(LocalCopy(name), CardFileWithCrLf(name));
    }
}

TEST_F(RecordingCardTest, AStalledStreamIsAskedAgainFromWhereItStoppedAtMostFiveTimes)
{
    struct Case {
        const char* label;
        int stallAfter;
        int silentRequests;
        FetchStatus status;
    };
    const Case cases[] = {
        {"stalled, then silent four times", 10, 4, FetchStatus::Complete},
        {"stalled, then silent five times", 10, 5, FetchStatus::TimedOut},
        {"never answered", -1, 6, FetchStatus::TimedOut},
    };
    const std::string before = "Time,Indoor Temperature(C)";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        console.ClearReceived();
        data.Write(kToday, before);
        const RecordingEntry file = Listed(kToday);
        console.Card().Faults().stallAfterPackets = c.stallAfter;
        if (c.stallAfter >= 0)
            console.Card().Faults().silentRequestsAfterStall = c.silentRequests;
        else
            console.Card().Faults().silentFileRequests = c.silentRequests;
        const FetchOutcome outcome = card.Fetch(file);
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_EQ(Requests(0x0B), 6u);
        const std::uint32_t resumeAt = before.size() + (c.stallAfter > 0 ? 60u * c.stallAfter : 0u);
        std::vector<std::uint32_t> offsets = RequestedOffsets();
        EXPECT_EQ(offsets.front(), before.size());
        EXPECT_TRUE(std::all_of(offsets.begin() + 1, offsets.end(), [&](std::uint32_t o) { return o == resumeAt; }));
        if (c.status == FetchStatus::Complete) {
            EXPECT_TRUE(LocalCopy(kToday) == CardFileWithCrLf(kToday));
        } else {
            EXPECT_EQ(outcome.message, kFileTimeoutText);
            EXPECT_TRUE(outcome.ImportsLocalCopy());
            EXPECT_EQ(LocalCopy(kToday), before);
            EXPECT_FALSE(fs::exists(data.Path() / kWorkingFileName));
        }
    }
}

TEST_F(RecordingCardTest, TheCopyHoldsExactlyTheBytesTheCardHad)
{
    // A NUL byte is data like any other; a file that grew since the listing
    // gives the bytes it had when listed.
    console.Card().AddFile("nul.csv", "a,b\n1,\0\n2,3"s);
    EXPECT_EQ(card.Fetch(Listed("nul.csv")).status, FetchStatus::Complete);
    EXPECT_EQ(LocalCopy("nul.csv"), "a,b\r\n1,\0\r\n2,3"s);

    const RecordingEntry listedEarlier = Listed(kToday);
    SetTime(Time() + 11min);
    const FetchOutcome outcome = card.Fetch(listedEarlier);
    EXPECT_EQ(outcome.status, FetchStatus::Complete);
    EXPECT_EQ(outcome.fetched, listedEarlier.size);
    std::string expected;
    AppendWithCrLf(expected, CardFile(kToday).substr(0, listedEarlier.size));
    EXPECT_EQ(LocalCopy(kToday), expected);
}

TEST_F(RecordingCardTest, ACopyLongerThanTheCardFileByMoreThanAByteStartsAgain)
{
    struct Case {
        const char* copy;
        FetchStatus status;
        const char* after;
    };
    const Case cases[] = {
        {"abc", FetchStatus::NothingNew, "abc"},
        {"abcd", FetchStatus::NothingNew, "abcd"},
        {"abcde", FetchStatus::Complete, "abc"},
        {"ab", FetchStatus::Complete, "abc"},
    };
    console.Card().AddFile("short.csv", "abc");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.copy);
        data.Write("short.csv", c.copy);
        EXPECT_EQ(card.Fetch(Listed("short.csv")).status, c.status);
        EXPECT_EQ(LocalCopy("short.csv"), c.after);
    }

    // A card replaced since the last fetch: its recording of today is shorter.
    EXPECT_EQ(card.Fetch(Listed(kToday)).status, FetchStatus::Complete);
    console.Card().Replace(Time());
    SetTime(Time() + 30min);
    const FetchOutcome again = card.Fetch(Listed(kToday));
    EXPECT_EQ(again.status, FetchStatus::Complete);
    EXPECT_EQ(again.heldBefore, 0u);
    EXPECT_EQ(LocalCopy(kToday), CardFileWithCrLf(kToday));
}

TEST_F(RecordingCardTest, NamesThatCannotBeFilesAreListedButNeverFetched)
{
    const std::string mainIni = "[the owner's own]\n";
    data.Write("Main.ini", mainIni);
    const std::vector<std::string> unsafe{"../x", "/", ".", "..", "QM710.db", "temp.csv", "Main.ini",
                                          "sub/dir.csv", "a\0b"s};
    for (const std::string& name : unsafe)
        console.Card().AddFile(name, "1,2\n");
    console.Card().AddFile(std::string(54, 'L'), "1,2\n");
    console.Card().AddFile(std::string(53, 'L'), "1,2\n");

    const ListingOutcome listing = card.List();
    for (const RecordingEntry& file : listing.files) {
        if (file.name.size() == 53) {
            EXPECT_EQ(card.Fetch(file).status, FetchStatus::Complete);
            EXPECT_EQ(console.ReceivedCommands(0x0B).back()[1], 64);
            continue;
        }
        if (std::find(unsafe.begin(), unsafe.end(), file.name) == unsafe.end() && file.name.size() != 54)
            continue;
        SCOPED_TRACE(NameText(file.name));
        console.ClearReceived();
        const FetchOutcome outcome = card.Fetch(file);
        EXPECT_EQ(outcome.status, FetchStatus::Refused);
        EXPECT_NE(outcome.message.find(NameText(file.name)), std::string::npos);
        EXPECT_EQ(Requests(0x0B), 0u);
        EXPECT_FALSE(outcome.ImportsLocalCopy());
        if (file.name.size() == 54)
            continue;
        // Deleting on the card still works; nothing of the data folder is touched.
        const DeleteOutcome deleted = card.Delete(file);
        EXPECT_EQ(deleted.status, DeleteStatus::CardOnly);
        EXPECT_FALSE(deleted.message.empty());
        EXPECT_EQ(console.ReceivedCommands(0x0C).size(), 1u);
    }
    EXPECT_EQ(LocalCopy("Main.ini"), mainIni);
    EXPECT_FALSE(fs::exists(data.Path() / "QM710.db"));
    EXPECT_EQ(std::distance(fs::directory_iterator(data.Path()), fs::directory_iterator()), 3)
        << "Main.ini, the 53-byte file and its working file";
    EXPECT_EQ(card.List().files.size(), 9u + 2u) << "the unsafe names are gone from the card";
}

TEST_F(RecordingCardTest, TheNameGoesBackToTheConsoleAsTheBytesItSent)
{
    const std::string name = "r\xE9sum\xE9.csv";
    console.Card().AddFile(name, "a\nb\n");
    const RecordingEntry file = Listed(name);
    EXPECT_EQ(card.Fetch(file).status, FetchStatus::Complete);
    const Report request = console.ReceivedCommands(0x0B).back();
    EXPECT_EQ(std::string(request.begin() + 11, request.begin() + 11 + request[10]), name);
    EXPECT_EQ(ReadWhole(data.Path() / "r\xC3\xA9sum\xC3\xA9.csv"), "a\r\nb\r\n");

    EXPECT_EQ(card.Delete(file).status, DeleteStatus::Deleted);
    const Report remove = console.ReceivedCommands(0x0C).back();
    EXPECT_EQ(std::string(remove.begin() + 3, remove.begin() + 3 + remove[2]), name);
    EXPECT_FALSE(fs::exists(data.Path() / "r\xC3\xA9sum\xC3\xA9.csv"));
}

TEST_F(RecordingCardTest, ADeleteSucceedsOnlyWhenTheConsoleSaysSo)
{
    struct Case {
        const char* label;
        bool refuse;
        int silent;
        DeleteStatus status;
        std::size_t requests;
    };
    const Case cases[] = {
        {"refused", true, 0, DeleteStatus::Failed, 4},
        {"unanswered four times", false, 4, DeleteStatus::Failed, 4},
        {"answered at the fourth request", false, 3, DeleteStatus::Deleted, 4},
        {"answered", false, 0, DeleteStatus::Deleted, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        console.ClearReceived();
        console.Card().AddFile("old.csv", "a\n");
        ASSERT_EQ(card.Fetch(Listed("old.csv")).status, FetchStatus::Complete);
        console.Card().Faults().refuseDeletes = c.refuse;
        console.Card().Faults().silentDeletes = c.silent;
        const DeleteOutcome outcome = card.Delete(Listed("old.csv"));
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_EQ(Requests(0x0C), c.requests);
        const bool deleted = c.status == DeleteStatus::Deleted;
        EXPECT_EQ(outcome.message, deleted ? "" : kDeleteFailedText);
        EXPECT_EQ(fs::exists(data.Path() / "old.csv"), !deleted);
        const std::vector<SimCardFile> onCard = console.Card().Files(Time());
        EXPECT_EQ(std::any_of(onCard.begin(), onCard.end(), [](const SimCardFile& f) { return f.name == "old.csv"; }),
                  !deleted);
        console.Card().Faults().refuseDeletes = false;
        if (!deleted)
            card.Delete(Listed("old.csv"));
    }
}

TEST_F(RecordingCardTest, AFetchStoppedFromAnotherThreadLeavesTheCopyAsItWas)
{
    console.Card().AddFile("long.csv", std::string(150000, 'x'));
    data.Write("long.csv", "xx");
    const RecordingEntry file = Listed("long.csv");
    std::stop_source stop;
    std::atomic<std::uint64_t> received{0};
    FetchOutcome outcome;
    std::thread fetching([&] {
        outcome = card.Fetch(file, stop.get_token(), [&](const FetchProgress& p) { received = p.received; });
    });
    while (received == 0)
        std::this_thread::sleep_for(1ms);
    stop.request_stop();
    fetching.join();
    EXPECT_EQ(outcome.status, FetchStatus::Cancelled);
    EXPECT_FALSE(outcome.ImportsLocalCopy());
    EXPECT_EQ(LocalCopy("long.csv"), "xx");
    EXPECT_FALSE(fs::exists(data.Path() / kWorkingFileName));

    // The console was stopped: nothing of the abandoned stream reaches the next fetch.
    EXPECT_EQ(card.Fetch(file).status, FetchStatus::Complete);
    EXPECT_TRUE(LocalCopy("long.csv") == CardFileWithCrLf("long.csv"));
}

TEST_F(RecordingCardTest, AFileThatCannotBeWrittenLeavesTheCopyAsItWas)
{
    console.Card().AddFile("big.csv", std::string(20000, 'z') + "\n" + std::string(3000, 'z'));
    struct Case {
        const char* label;
        std::size_t copyBefore;  // bytes of the card file the copy holds
        std::size_t limit;       // bytes any file may have
        const char* names;       // what the message speaks of
    };
    const Case cases[] = {
        {"the working file fills the disk", 0, 5000, "temp.csv"},
        {"the copy cannot take the new bytes", 20500, 21000, "big.csv"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::string before;
        AppendWithCrLf(before, CardFile("big.csv").substr(0, c.copyBefore));
        data.Write("big.csv", before);
        const RecordingEntry file = Listed("big.csv");
        FetchOutcome outcome;
        {
            const test::FileSizeLimit limit(c.limit);
            outcome = card.Fetch(file);
        }
        EXPECT_EQ(outcome.status, FetchStatus::FileError);
        EXPECT_NE(outcome.message.find(c.names), std::string::npos) << outcome.message;
        EXPECT_TRUE(LocalCopy("big.csv") == before);
        EXPECT_EQ(card.Fetch(file).status, FetchStatus::Complete) << "the next fetch picks up where the copy ends";
        EXPECT_TRUE(LocalCopy("big.csv") == CardFileWithCrLf("big.csv"));
    }
}

}  // namespace
}  // namespace vorelle
