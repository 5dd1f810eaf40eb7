#include "app/FactoryReset.h"
#include "support/MessageRecorder.h"
#include "support/SimLinkFixture.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace vorelle {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

class FactoryResetTest : public test::SimLinkFixture {
protected:
    void SetUp() override
    {
        SimLinkFixture::SetUp();
        temp.Write("a.csv", "1");
        temp.Write("W2026.csv", "2");
        temp.Write("20261201CH.CSV", "3");
        temp.Write("20261202SM.Csv", "4");
        temp.Write("QM710.db", "keep");
        temp.Write("notes.txt", "keep");
    }

    int CsvFiles() const
    {
        int count = 0;
        for (const auto& entry : fs::directory_iterator(temp.Path()))
            count += entry.path().filename() != "QM710.db" && entry.path().filename() != "notes.txt";
        return count;
    }

    TempFolder temp;
    test::MessageRecorder messages;
};

TEST_F(FactoryResetTest, CancelDeletesNothingAndSendsNothing)
{
    messages.answers = {MessageAnswer::Cancel};
    EXPECT_FALSE(ConfirmFactoryReset(messages));
    EXPECT_EQ(CsvFiles(), 4);
    EXPECT_TRUE(console.ReceivedCommands().empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    const Message& question = messages.shown[0];
    EXPECT_EQ(question.text, "Reset to factory setting?");
    EXPECT_EQ(question.buttons, MessageButtons::OkCancel);
    EXPECT_EQ(question.icon, MessageIcon::Warning);
    EXPECT_TRUE(question.cancelIsDefault);
}

TEST_F(FactoryResetTest, OkDeletesTheRecordingsAndResetsTheConsole)
{
    EXPECT_TRUE(ConfirmFactoryReset(messages));
    const FactoryResetOutcome outcome = ResetToFactorySettings(link, temp.Path());
    EXPECT_EQ(outcome.result, FactoryResetResult::ConsoleReset);
    EXPECT_EQ(CsvFiles(), 0);
    EXPECT_EQ(test::ReadWhole(temp.Path() / "QM710.db"), "keep");
    EXPECT_TRUE(fs::exists(temp.Path() / "notes.txt"));
    EXPECT_EQ(console.ReceivedCommands(), (std::vector<Report>{MakeCommand(CMD_RESET)}));
    EXPECT_EQ(outcome.message, "Success");
}

TEST_F(FactoryResetTest, WithoutAConsoleTheRecordingsGoAllTheSameAndNothingIsSaid)
{
    transport.Unplug();
    link.OnDeviceChange(DeviceEvent::Removal);
    const FactoryResetOutcome outcome = ResetToFactorySettings(link, temp.Path());
    EXPECT_EQ(outcome.result, FactoryResetResult::FilesDeleted);
    EXPECT_EQ(CsvFiles(), 0);
    EXPECT_TRUE(console.ReceivedCommands().empty());
    EXPECT_TRUE(outcome.message.empty());
}

}  // namespace
}  // namespace vorelle
