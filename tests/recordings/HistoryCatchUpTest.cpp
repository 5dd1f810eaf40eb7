#include "recordings/HistoryCatchUp.h"
#include "recordings/HistoryRebuild.h"
#include "recordings/RecordingExport.h"
#include "store/HistorySchema.h"
#include "support/CardFixture.h"
#include "support/HistoryTesting.h"
#include "support/MessageRecorder.h"
#include "support/NamedCase.h"
#include "support/RecordStoreTesting.h"
#include "support/SteppedBeat.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace vorelle {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::LocalClock;

constexpr const char* kTodaysWeather = "20260512.csv";

class HistoryFixture : public test::CardFixture {
protected:
    void SetUp() override
    {
        CardFixture::SetUp();
        test::MakeEmptyStore(data.Path() / kRecordStoreFile);
    }

    fs::path HistoryFile() const { return data.Path() / kHistoryFile; }

    // Notes the times of the whole lines of the card file `name` (every
    // file without one) as the card holds them now.
    void Remember(const std::string& name = {})
    {
        for (const SimCardFile& file : console.Card().Files(Time())) {
            if (!name.empty() && file.name != name)
                continue;
            const std::string& text = *file.content;
            for (std::size_t at = text.find('\n') + 1, end; (end = text.find('\n', at)) != std::string::npos;
                 at = end + 1)
                seen[file.name].insert(text.substr(at, text.find(',', at) - at));
        }
    }

    SyncSummary Sync()
    {
        Remember();
        HistoryStore history = test::OpenHistory(HistoryFile());
        return SyncHistory(card, history, DateOrder::DayMonthYear);
    }

    ExportOutcome Export(const std::string& name)
    {
        Remember(name);
        return ExportRecording(card, Listed(name), data.Path() / kRecordStoreFile, DateOrder::DayMonthYear,
                               messages);
    }

    // Each kind holds one reading per time, as many as the card files
    // remembered have shown.
    void ExpectOneReadingPerTime() const
    {
        std::map<std::string, std::size_t> times;
        for (const auto& [name, shown] : seen)
            times[ReadingsTableName(LayoutForRecording(name))] += shown.size();
        for (const RecordingLayout kind : kHistoryKinds) {
            const std::string table = ReadingsTableName(kind), n = std::to_string(times[table]);
            EXPECT_EQ(test::ExecuteRaw(HistoryFile(), "SELECT count(*), count(DISTINCT Key >> 20), max(Key & 1048575)"
                                                      " FROM " + table),
                      n + "|" + n + "|" + (times[table] ? "0" : "NULL") + "\n")
                << table;
        }
    }

    std::map<std::string, std::set<std::string>> seen;
    test::MessageRecorder messages;
    std::atomic<std::chrono::steady_clock::rep> steady{0};
};

// What brings readings the history holds once more.
enum class Again { Synced, DayFetched, CardReplaced, Exported };
struct AgainCase : test::NamedCase {
    Again again;
};

class OneReadingPerTimeTest : public HistoryFixture, public ::testing::WithParamInterface<AgainCase> {};

TEST_P(OneReadingPerTimeTest, WhateverBringsTheReadingsAgain)
{
    switch (GetParam().again) {
    case Again::Synced:
        EXPECT_EQ(Sync().recordings, 9u);
        EXPECT_EQ(Sync().recordings, 0u) << "the history holds them all";
        break;
    case Again::DayFetched:
        Sync();
        fs::remove(data.Path() / kTodaysWeather);
        SetTime(Time() + 1h);
        EXPECT_EQ(Sync().end, CatchUpEnd::UpToDate);
        break;
    case Again::CardReplaced:
        Sync();
        console.Card().Replace(Time() - 3h);
        SetTime(Time() + 1h);
        EXPECT_EQ(Sync().recordings, 3u) << "today's, shorter than their copies";
        break;
    case Again::Exported:
        ASSERT_TRUE(Export(kTodaysWeather).history);
        ASSERT_EQ(Export(kTodaysWeather).history->counts.added, 0u);
        EXPECT_TRUE(MergeImportedRecording(data.Path() / kRecordStoreFile, data.Path() / kTodaysWeather, kTodaysWeather,
                                           MergedFile::Other, DateOrder::DayMonthYear, messages));
        EXPECT_TRUE(messages.shown.empty());
        break;
    }
    ExpectOneReadingPerTime();
}

INSTANTIATE_TEST_SUITE_P(Scenarios, OneReadingPerTimeTest,
                         ::testing::Values(AgainCase{"SyncedTwice", Again::Synced},
                                           AgainCase{"ADayFetchedAgain", Again::DayFetched},
                                           AgainCase{"ACardReplacedByOneWithOverlappingDays", Again::CardReplaced},
                                           AgainCase{"TheSameRecordingExportedTwiceThenImported", Again::Exported}),
                         test::CaseName{});

TEST_F(HistoryFixture, ARebuildFromTheLocalCopiesGivesWhatTheMergesGave)
{
    ASSERT_EQ(Sync().recordings, 9u);
    const std::vector<std::string> merged = test::DumpHistory(HistoryFile());
    for (const char* suffix : {"", "-wal", "-shm"})
        fs::remove(HistoryFile().string() + suffix);
    // Then another program drops some summaries.
    for (const char* change : {"", "DELETE FROM Summaries WHERE Span = 86400"}) {
        SCOPED_TRACE(change);
        if (*change)
            test::ExecuteRaw(HistoryFile(), change);
        HistoryStore history = test::OpenHistory(HistoryFile());
        StoreResult<RebuildSummary> rebuilt = RebuildHistory(data.Path(), history, DateOrder::DayMonthYear);
        ASSERT_TRUE(rebuilt) << rebuilt.Error();
        EXPECT_EQ(rebuilt->recordings, 9u);
        EXPECT_EQ(rebuilt->summariesRebuilt, *change != '\0');
        EXPECT_EQ(test::DumpHistory(HistoryFile()), merged);
    }
}

class HistoryCatchUpTest : public HistoryFixture {
protected:
    // The poll with the catch-up between its readings, on a beat the test
    // steps and an interval clock it sets.
    struct PolledCatchUp {
        PolledCatchUp(HistoryCatchUpTest& f, int minutes)
            : catchUp(f.link, f.Options(minutes)), poller(f.link, readings, beat, [] {})
        {
            poller.SetBetweenPolls(&catchUp);
            poller.Start();
            beat.AwaitStart();
        }
        ~PolledCatchUp() { poller.Stop(); }

        LiveReadings readings;
        test::SteppedBeat beat;
        HistoryCatchUp catchUp;
        Poller poller;
    };

    HistoryCatchUp::Options Options(int minutes)
    {
        return {data.Path(), DateOrder::DayMonthYear, {true, minutes}, {},
                [this] { return std::chrono::steady_clock::time_point(std::chrono::steady_clock::duration(steady)); },
                [] { return LocalClock(2026, 5, 12, 14, 5); }};
    }
};

TEST_F(HistoryCatchUpTest, NewReadingsReachTheHistoryByThemselves)
{
    PolledCatchUp run(*this, 5);
    run.beat.Advance(1 + 9);  // the first reading lists the card, the next fetches
    run.catchUp.AwaitMerges();
    Remember();
    ExpectOneReadingPerTime();
    EXPECT_EQ(CatchUpStatusText(run.catchUp.State()), "History up to date 14:05");

    // Two recording intervals later, and a catch-up interval; a dialog open
    // meanwhile holds it back.
    SetTime(Time() + 10min);
    steady += std::chrono::steady_clock::duration(5min).count();
    run.poller.DialogOpen = true;
    const std::size_t requests = Requests(CMD_READ_FILE_LIST.code);
    run.beat.Advance(18);
    EXPECT_EQ(Requests(CMD_READ_FILE_LIST.code), requests);
    run.poller.DialogOpen = false;
    run.beat.Advance(1 + 9);
    run.catchUp.AwaitMerges();
    Remember();
    EXPECT_TRUE(seen[kTodaysWeather].contains("2026-05-12 08:10"));
    ExpectOneReadingPerTime();
    EXPECT_EQ(run.catchUp.State().readingsAdded, 6u) << "two readings of three recordings";
    EXPECT_TRUE(Export(kTodaysWeather).Imported()) << "another card of the link (the dialog's) works beside it";
}

TEST_F(HistoryCatchUpTest, AnUnplugMidCatchUpMergesNothingHalfAndTheNextConnectionGoesOn)
{
    test::OpenHistory(HistoryFile());
    const std::vector<std::string> before = test::DumpHistory(HistoryFile());
    PolledCatchUp run(*this, 15);
    run.beat.Advance(1);
    console.Card().Faults().unplugAtPacket = 10;
    run.beat.Advance(9);
    run.catchUp.AwaitMerges();
    EXPECT_FALSE(link.Connected());
    EXPECT_EQ(test::DumpHistory(HistoryFile()), before);
    EXPECT_EQ(LocalCopy("20260510.csv"), "");
    EXPECT_EQ(CatchUpStatusText(run.catchUp.State()), "History not up to date: the console went away");

    transport.Plug();
    run.beat.Advance(9 + 9);
    run.catchUp.AwaitMerges();
    Remember();
    ExpectOneReadingPerTime();
    EXPECT_EQ(run.catchUp.State().phase, CatchUpState::Phase::UpToDate);
}

// At the console's own pace (a report a millisecond) and the program's
// (a poll every nine seconds), a day of one-minute readings is caught up
// between readings, none of them more than a period late.
TEST(HistoryCatchUpPaceTest, NoReadingComesAPeriodLateWhileADayIsCaughtUp)
{
    test::TempFolder data;
    SimulatedConsole console;
    SimTransport transport(console);
    ConsoleLink link(transport);
    console.SetClock([] { return LocalClock(2026, 5, 12, 23, 59, 30); });
    SimulatedConsole::SettingsBlock settings = console.Settings();
    settings[10] = 1;  // the recording interval in minutes
    console.SetSettings(settings);
    console.Card().SetDaysKept(1);
    ASSERT_TRUE(link.Open());

    std::vector<std::chrono::steady_clock::time_point> readings;  // the poll thread's until it stops
    std::atomic<std::size_t> polls = 0;
    LiveReadings live;
    SleepingBeat beat(1000ms);
    HistoryCatchUp catchUp(link, {data.Path(), DateOrder::DayMonthYear, {}, {}});
    Poller poller(link, live, beat, [&] {
        if (const std::size_t now = console.ReceivedCommands(CMD_READ_LIVE.code).size(); now != polls) {
            polls = now;
            readings.push_back(std::chrono::steady_clock::now());
        }
    });
    poller.SetBetweenPolls(&catchUp);
    poller.Start();
    const auto deadline = std::chrono::steady_clock::now() + 90s;
    const auto waitFor = [&](const std::function<bool()>& done) {
        while (!done() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(100ms);
    };
    waitFor([&] { return catchUp.State().phase == CatchUpState::Phase::UpToDate; });
    const std::size_t upToDate = polls;
    waitFor([&] { return polls > upToDate; });  // the reading after the last fetch
    poller.Stop();

    ASSERT_EQ(catchUp.State().phase, CatchUpState::Phase::UpToDate);
    EXPECT_EQ(test::ExecuteRaw(data.Path() / kHistoryFile, "SELECT count(*) FROM MainReadings"), "1440\n");
    ASSERT_GE(readings.size(), 4u);
    std::chrono::milliseconds longest{0};
    for (std::size_t i = 1; i < readings.size(); ++i)
        longest = std::max(longest, std::chrono::duration_cast<std::chrono::milliseconds>(readings[i] - readings[i - 1]));
    ::testing::Test::RecordProperty("longest_gap_ms", static_cast<int>(longest.count()));
    EXPECT_LE(longest, 2 * 9s) << "a period and at most one more";
}

TEST(CatchUpSettingsTest, MainIniAndTheStatusBar)
{
    const struct {
        const char* ini;
        CatchUpSettings settings;
        std::size_t problems;
    } cases[] = {
        {"[Vorelle2]\nVersion=1\n", {true, 15}, 0},
        {"[history]\nCATCH_UP=off\ncatch_up_minutes = 5\n", {false, 5}, 0},
        {"[History]\ncatch_up=maybe\ncatch_up_minutes=1441\n", {true, 15}, 2},
    };
    for (const auto& c : cases) {
        std::vector<std::string> problems;
        EXPECT_EQ(ReadCatchUpSettings(IniFile(c.ini), problems), c.settings) << c.ini;
        EXPECT_EQ(problems.size(), c.problems) << c.ini;
    }
    test::TempFolder folder;
    std::string error, text;
    const fs::path file = folder.Write("Main.ini", "[Vorelle2]\nVersion=1\n");
    ASSERT_TRUE(SaveCatchUpSettings(file, {false, 30}, error)) << error;
    EXPECT_EQ(test::ReadWhole(file), "[Vorelle2]\nVersion=1\n\n[History]\ncatch_up=false\ncatch_up_minutes=30\n");

    CatchUpState state;
    state.phase = CatchUpState::Phase::CatchingUp;
    state.recordingsDone = 2;
    state.recordingsTotal = 9;
    EXPECT_EQ(CatchUpStatusText(state), "History catching up: 2 of 9 recordings");
    state.recordingsDone = state.recordingsTotal = 0;
    EXPECT_EQ(CatchUpStatusText(state), "History catching up") << "while the card is listed";
    state.phase = CatchUpState::Phase::Off;
    EXPECT_EQ(CatchUpStatusText(state), "");
}

}  // namespace
}  // namespace vorelle
