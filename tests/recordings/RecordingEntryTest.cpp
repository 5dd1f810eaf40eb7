#include "recordings/RecordingEntry.h"
#include "recordings/RecordingNames.h"
#include "recordings/RecordingReports.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorelle {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

TEST(RecordingEntryTest, SizeTextSwitchesToMegabytesAboveOneMebibyteAndRoundsHalfToEven)
{
    struct Case {
        std::uint32_t size;
        const char* text;
    };
    const Case cases[] = {
        {0, "0.00 KB"},           {1, "0.00 KB"},          {5, "0.00 KB"},         {6, "0.01 KB"},
        {128, "0.12 KB"},         {384, "0.38 KB"},        {1536, "1.50 KB"},      {1048575, "1024.00 KB"},
        {1048576, "1024.00 KB"},  {1048577, "1.00 MB"},    {1572864, "1.50 MB"},   {52428800, "50.00 MB"},
        {4294967295u, "4096.00 MB"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SizeText(c.size), c.text) << c.size;
}

TEST(RecordingEntryTest, NameTextShowsLatin1AsUtf8AndEscapesWhatCannotBeSeen)
{
    struct Case {
        std::string raw;
        const char* text;
    };
    const std::vector<Case> cases{
        {"20260512.csv", "20260512.csv"},
        {"r\xE9sum\xE9.csv", "r\xC3\xA9sum\xC3\xA9.csv"},
        {"a\0b"s, "a\\x00b"},
        {"tab\there", "tab\\x09here"},
        {"back\\slash", "back\\x5Cslash"},
        {"\x7F\x85\xA0", "\\x7F\\x85\xC2\xA0"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NameText(c.raw), c.text) << c.text;
}

TEST(RecordingEntryTest, DatedNamesSortNewestFirstWhateverTheirCaseAndOrder)
{
    std::vector<RecordingEntry> files{{"20260511.CSV", 1}, {"20260513.csv", 2}, {"20260512CH.csv", 3},
                                      {"20260512.csv", 4}, {"20260513sm.csv", 5}};
    SortNewestFirst(files);
    std::vector<std::string> names;
    for (const RecordingEntry& file : files)
        names.push_back(file.name);
    EXPECT_EQ(names, (std::vector<std::string>{"20260513sm.csv", "20260513.csv", "20260512CH.csv", "20260512.csv",
                                               "20260511.CSV"}));
}

TEST(RecordingEntryTest, FindByNameTextMatchesWhatTheListShows)
{
    const std::vector<RecordingEntry> files{{"plain.csv", 1}, {"r\xE9sum\xE9.csv", 2}, {"a\0b"s, 3}};
    for (const RecordingEntry& file : files) {
        const RecordingEntry* found = FindByNameText(files, NameText(file.name));
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(found->name, file.name);
    }
    EXPECT_EQ(FindByNameText(files, "missing.csv"), nullptr);
}

TEST(RecordingNamesTest, OnlyPlainFileNamesReachTheDataFolder)
{
    struct Case {
        std::string name;
        ExportNameCheck check;
    };
    const std::vector<Case> cases{
        {"20260512.csv", ExportNameCheck::Fits},
        {"..csv", ExportNameCheck::Fits},
        {"r\xE9sum\xE9.csv", ExportNameCheck::Fits},
        {std::string(53, 'a'), ExportNameCheck::Fits},
        {std::string(54, 'a'), ExportNameCheck::TooLongToRequest},
        {std::string(57, 'a'), ExportNameCheck::TooLongToRequest},
        {"../x", ExportNameCheck::NotAFileName},
        {"/", ExportNameCheck::NotAFileName},
        {"/etc/passwd", ExportNameCheck::NotAFileName},
        {"sub\\file.csv", ExportNameCheck::NotAFileName},
        {"C:file.csv", ExportNameCheck::NotAFileName},
        {".", ExportNameCheck::NotAFileName},
        {"..", ExportNameCheck::NotAFileName},
        {"", ExportNameCheck::NotAFileName},
        {"a\0b.csv"s, ExportNameCheck::NotAFileName},
        {"line\nbreak.csv", ExportNameCheck::NotAFileName},
        {"QM710.db", ExportNameCheck::NotAFileName},
        {"qm710.DB-wal", ExportNameCheck::NotAFileName},
        {"QM710.db-journal", ExportNameCheck::NotAFileName},
        {"history.DB-wal", ExportNameCheck::NotAFileName},
        {"Main.ini", ExportNameCheck::NotAFileName},
        {"temp.csv", ExportNameCheck::NotAFileName},
        {"TEMP.CSV", ExportNameCheck::NotAFileName},
        {"Tempbin.hex", ExportNameCheck::NotAFileName},
        {"tempbin.BIN", ExportNameCheck::NotAFileName},
        {std::string(60, '/'), ExportNameCheck::NotAFileName},
    };
    const fs::path folder = "/data/Vorelle2";
    for (const Case& c : cases) {
        SCOPED_TRACE(NameText(c.name));
        EXPECT_EQ(CheckExportName(c.name), c.check);
        const std::optional<fs::path> copy = LocalCopyPath(folder, c.name);
        EXPECT_EQ(copy.has_value(), c.check != ExportNameCheck::NotAFileName);
        if (copy) {
            EXPECT_EQ(copy->parent_path(), folder);
            EXPECT_EQ(copy->filename().string(), NameText(c.name));
        }
    }
}

Report Entry(std::uint32_t size, std::uint8_t length, const std::string& name)
{
    Report report{};
    report[0] = 0x0A;
    report[1] = static_cast<std::uint8_t>(std::min<std::size_t>(7 + name.size(), 64));
    report[2] = static_cast<std::uint8_t>(size >> 24);
    report[3] = static_cast<std::uint8_t>(size >> 16);
    report[4] = static_cast<std::uint8_t>(size >> 8);
    report[5] = static_cast<std::uint8_t>(size);
    report[6] = length;
    std::copy_n(name.begin(), std::min<std::size_t>(name.size(), 57), report.begin() + 7);
    return report;
}

TEST(RecordingReportsTest, EntryTakesAnUnsignedSizeAndDropsANameThatRunsPastTheReport)
{
    struct Case {
        const char* label;
        Report report;
        std::optional<RecordingEntry> entry;
    };
    const std::vector<Case> cases{
        {"plain", Entry(31234, 12, "20260512.csv"), RecordingEntry{"20260512.csv", 31234}},
        {"size with the top bit set", Entry(0xFFFFFFFFu, 1, "x"), RecordingEntry{"x", 0xFFFFFFFFu}},
        {"name of 57 bytes fills the report", Entry(7, 57, std::string(57, 'n')),
         RecordingEntry{std::string(57, 'n'), 7}},
        {"length 58 runs past the report", Entry(7, 58, std::string(58, 'n')), std::nullopt},
        {"length 255", Entry(7, 255, "n"), std::nullopt},
        {"the end of the listing", Entry(0, 0, ""), std::nullopt},
        {"bytes kept raw", Entry(1, 4, "a\0\xE9/"s), RecordingEntry{"a\0\xE9/"s, 1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseFileEntry(c.report), c.entry) << c.label;
}

TEST(RecordingReportsTest, FileAndDeleteRequestsCarryTheNameBytesExactly)
{
    const RecordingEntry file{"r\xE9sum\xE9.csv", 0x01020304};
    const Report request = MakeFileRequest(file, 0xA0B0C0D0);
    Report expected{};
    const std::uint8_t head[] = {0x0B, 21, 0xA0, 0xB0, 0xC0, 0xD0, 0x01, 0x02, 0x03, 0x04, 10};
    std::copy(std::begin(head), std::end(head), expected.begin());
    std::copy(file.name.begin(), file.name.end(), expected.begin() + 11);
    EXPECT_EQ(request, expected);

    const Report longest = MakeFileRequest({std::string(53, 'L'), 1}, 0);
    EXPECT_EQ(longest[1], 64);
    EXPECT_EQ(longest[10], 53);
    EXPECT_EQ(longest[63], 'L');

    const Report remove = MakeDeleteRequest("a\0b"s);
    Report expectedDelete{};
    const std::uint8_t deleteBytes[] = {0x0C, 6, 3, 'a', 0, 'b'};
    std::copy(std::begin(deleteBytes), std::end(deleteBytes), expectedDelete.begin());
    EXPECT_EQ(remove, expectedDelete);
    EXPECT_EQ(MakeDeleteRequest(std::string(61, 'd'))[1], 64);
}

}  // namespace
}  // namespace vorelle
