#include "recordings/RecordingExport.h"
#include "recordings/RecordingMessages.h"
#include "store/DataFolder.h"
#include "support/CardFixture.h"
#include "support/MessageRecorder.h"
#include "support/RecordStoreTesting.h"

#include <gtest/gtest.h>

#include <functional>

namespace vorelle {
namespace {

namespace fs = std::filesystem;
using test::ReadWhole;

constexpr const char* kToday = "20260512.csv";
constexpr const char* kEarlier = "20260512CH.csv";

class RecordingExportTest : public test::CardFixture {
protected:
    void SetUp() override
    {
        CardFixture::SetUp();
        test::MakeEmptyStore(Store());
    }

    fs::path Store() const { return data.Path() / kRecordStoreFile; }

    // The first `lines` lines of the card file `name` as its local copy holds them.
    std::string CopyOfFirstLines(const std::string& name, int lines) const
    {
        const std::string whole = CardFileWithCrLf(name);
        std::size_t end = 0;
        for (int line = 0; line < lines; ++line)
            end = whole.find('\n', end) + 1;
        return whole.substr(0, end);
    }

    ExportOutcome Export(const std::string& name, std::stop_token stop = {})
    {
        return ExportRecording(card, Listed(name), Store(), DateOrder::DayMonthYear, messages, stop);
    }

    test::MessageRecorder messages;
};

// Whatever ends the transfer, the store holds a whole recording: the card
// file's after a complete transfer, the local copy's after a timed-out one,
// and otherwise the one it held before.
TEST_F(RecordingExportTest, TheStoreHoldsTheCopyOnlyWhenTheCopyIsWhole)
{
    enum class Expect { CardFile, HeldCopy, Unchanged };
    struct Case {
        const char* label;
        std::string name;
        std::function<void(std::stop_source&)> before;
        FetchStatus status;
        Expect store;
        std::vector<std::string> said;
    };
    const std::string refusedText = "\"Main.ini\" cannot be exported: its name is a path, or the name of one of "
                                    "Vorelle 2's own files, so it is never written to the data folder.";
    const Case cases[] = {
        {"complete", kToday, [](std::stop_source&) {}, FetchStatus::Complete, Expect::CardFile, {}},
        {"timed out", kToday, [this](std::stop_source&) { console.Card().Faults().silentFileRequests = 6; },
         FetchStatus::TimedOut, Expect::HeldCopy, {std::string(kFileTimeoutText)}},
        {"unplugged", kToday, [this](std::stop_source&) { console.Card().Faults().unplugAtPacket = 4; },
         FetchStatus::ConsoleGone, Expect::Unchanged, {}},
        {"stopped", kToday, [](std::stop_source& stop) { stop.request_stop(); }, FetchStatus::Cancelled,
         Expect::Unchanged, {}},
        {"own file's name", "Main.ini", [](std::stop_source&) {}, FetchStatus::Refused, Expect::Unchanged,
         {refusedText}},
        // Last: the history stays unwritable.
        {"history unwritable", kToday, [this](std::stop_source&) { data.Write(kHistoryFile, std::string(4096, 'x')); },
         FetchStatus::Complete, Expect::CardFile,
         {"The recording was imported, but not added to the history " + (data.Path() / kHistoryFile).string() +
          ": file is not a database. The history is as it was."}},
    };
    console.Card().AddFile("Main.ini", "Time\n2026-05-12 00:00,1\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        if (!link.Connected())
            transport.Plug();
        ASSERT_TRUE(Export(kEarlier).Imported());
        const std::vector<WeatherRecord> earlier = test::StoredRecords(Store());
        ASSERT_FALSE(earlier.empty());
        const std::string heldBefore = CopyOfFirstLines(kToday, 3);
        data.Write(kToday, heldBefore);
        messages.shown.clear();

        std::stop_source stop;
        c.before(stop);
        const ExportOutcome outcome = Export(c.name, stop.get_token());
        EXPECT_EQ(outcome.fetch.status, c.status);
        EXPECT_EQ(messages.Texts(), c.said);
        const std::size_t stored = test::StoredRecords(Store()).size();
        switch (c.store) {
        case Expect::CardFile:
            EXPECT_TRUE(outcome.Imported());
            EXPECT_EQ(outcome.history.has_value(), c.said.empty()) << "merged into the history";
            EXPECT_EQ(ReadWhole(data.Path() / kToday), CardFileWithCrLf(kToday));
            EXPECT_EQ(outcome.import.summary.rowsStored, stored);
            EXPECT_EQ(outcome.import.content.RowCount(), stored);
            EXPECT_GT(stored, 10u);
            break;
        case Expect::HeldCopy:
            EXPECT_TRUE(outcome.Imported());
            EXPECT_EQ(ReadWhole(data.Path() / kToday), heldBefore);
            EXPECT_EQ(stored, 2u);
            break;
        case Expect::Unchanged:
            EXPECT_FALSE(outcome.Imported());
            EXPECT_EQ(ReadWhole(data.Path() / kToday), heldBefore);
            EXPECT_EQ(stored, earlier.size());
            break;
        }
    }
}

}  // namespace
}  // namespace vorelle
