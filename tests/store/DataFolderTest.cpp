#include "store/DataFolder.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

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

TEST(DataFolderTest, TheFolderComesFromTheEnvironmentAsTheProgramFindsIt)
{
    struct Case {
        const char* dataDir;
        const char* dataHome;
        const char* home;
        const char* folder;
    };
    const Case cases[] = {
        {"/srv/station", "/xdg", "/home/owner", "/srv/station"},
        {"", "/xdg", "/home/owner", "/xdg/Vorelle2"},
        {nullptr, "relative/xdg", "/home/owner", "/home/owner/.local/share/Vorelle2"},
        {nullptr, nullptr, "/home/owner", "/home/owner/.local/share/Vorelle2"},
    };
    const char* names[] = {"VORELLE2_DATA_DIR", "XDG_DATA_HOME", "HOME"};
    std::vector<std::optional<std::string>> saved;
    for (const char* name : names)
        saved.push_back(std::getenv(name) ? std::optional<std::string>(std::getenv(name)) : std::nullopt);
    for (const Case& c : cases) {
        const char* values[] = {c.dataDir, c.dataHome, c.home};
        for (std::size_t i = 0; i < 3; ++i) {
            if (values[i])
                setenv(names[i], values[i], 1);
            else
                unsetenv(names[i]);
        }
        EXPECT_EQ(WorkingDataFolder(), fs::path(c.folder));
    }
    for (std::size_t i = 0; i < 3; ++i) {
        if (saved[i])
            setenv(names[i], saved[i]->c_str(), 1);
        else
            unsetenv(names[i]);
    }
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
