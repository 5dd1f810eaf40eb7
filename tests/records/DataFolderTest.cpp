#include "records/DataFolder.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace vorelle {
namespace {

namespace fs = std::filesystem;
using test::ReadWhole;
using test::TempFolder;

TEST(DataFolderTest, CreatesTheWholeChainAndCopiesTheShippedFiles)
{
    TempFolder temp;
    temp.Write("shipped/QM710.db", "empty store");
    temp.Write("shipped/Main.ini", "[Vorelle2]\n");
    const fs::path data = temp.Path() / "home" / "share" / "Vorelle2";

    PrepareDataFolder(temp.Path() / "shipped", data);
    EXPECT_EQ(ReadWhole(data / "QM710.db"), "empty store");
    EXPECT_EQ(ReadWhole(data / "Main.ini"), "[Vorelle2]\n");
}

TEST(DataFolderTest, ExistingRecordStoreIsNeverOverwritten)
{
    TempFolder temp;
    temp.Write("shipped/QM710.db", "newer shipped store");
    temp.Write("data/QM710.db", "the owner's recordings");
    PrepareDataFolder(temp.Path() / "shipped", temp.Path() / "data");
    EXPECT_EQ(ReadWhole(temp.Path() / "data/QM710.db"), "the owner's recordings");
}

TEST(DataFolderTest, ReadOnlyShippedConfigurationGivesAWritableCopy)
{
    TempFolder temp;
    const fs::path shipped = temp.Write("shipped/Main.ini", "x");
    fs::permissions(shipped, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    PrepareDataFolder(temp.Path() / "shipped", temp.Path() / "data");
    const fs::perms copy = fs::status(temp.Path() / "data/Main.ini").permissions();
    EXPECT_NE(copy & fs::perms::owner_write, fs::perms::none);
}

TEST(DataFolderTest, MissingShippedFilesAreNoReasonToFail)
{
    TempFolder temp;
    PrepareDataFolder(temp.Path() / "nowhere", temp.Path() / "data");
    EXPECT_TRUE(fs::is_directory(temp.Path() / "data"));
    EXPECT_FALSE(fs::exists(temp.Path() / "data/QM710.db"));
}

}  // namespace
}  // namespace vorelle
