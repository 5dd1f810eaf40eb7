#include "recordings/LocalCopy.h"
#include "support/FileSizeLimit.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace vorelle {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using test::ReadWhole;
using test::TempFolder;

std::string WithCrLf(const std::string& bytes)
{
    std::string out;
    AppendWithCrLf(out, bytes);
    return out;
}

TEST(LocalCopyTest, OnlyLineFeedsChange)
{
    struct Case {
        std::string in;
        std::string out;
    };
    const std::vector<Case> cases{
        {"", ""},
        {"a,b\nc,d\n", "a,b\r\nc,d\r\n"},
        {"partial last li", "partial last li"},
        {"\n\n", "\r\n\r\n"},
        {"nul\0inside\n"s, "nul\0inside\r\n"s},
        {"already\r\n", "already\r\r\n"},
        {"lone\rcr", "lone\rcr"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WithCrLf(c.in), c.out) << c.in;
}

TEST(LocalCopyTest, HeldBytesAreTheSizeLessOneForEveryLineEnd)
{
    TempFolder temp;
    std::string tenLines;
    for (int i = 0; i < 10; ++i)
        tenLines += std::string(98, 'x') + "\r\n";
    struct Case {
        const char* label;
        std::string copy;
        std::uint64_t held;
    };
    const std::vector<Case> cases{
        {"empty", "", 0},
        {"1000 bytes in 10 lines", tenLines, 990},
        {"a partial last line counts whole", "a,b\r\nc,", 6},
        // Earlier versions added a line end after a partial last line; that
        // copy holds a byte the card file does not have, and is counted so.
        {"an earlier version's copy", "a,b\r\nc,\r\n", 7},
        {"NUL bytes count", "a\0b\r\n"s, 4},
    };
    for (const Case& c : cases) {
        const fs::path copy = temp.Write("copy.csv", c.copy);
        std::uint64_t held = 12345;
        EXPECT_FALSE(CountHeldBytes(copy, held)) << c.label;
        EXPECT_EQ(held, c.held) << c.label;
    }
    std::uint64_t held = 0;
    EXPECT_EQ(CountHeldBytes(temp.Path() / "missing.csv", held), std::errc::no_such_file_or_directory);
}

struct Received {
    explicit Received(const TempFolder& temp, const std::string& bytes)
        : path(temp.Write("temp.csv", bytes)), file(std::fopen(path.c_str(), "rb"))
    {
    }
    ~Received() { std::fclose(file); }
    fs::path path;
    std::FILE* file;
};

TEST(LocalCopyTest, AppendingAddsExactlyWhatArrivedAndCutsBackWhenTheDiskRefuses)
{
    TempFolder temp;
    const std::string before = "Time,A\r\n2026-05-12 10:00,1\r\n2026-05-12 10:0";
    const std::string arrived = "5,2\n2026-05-12 10:10,\0\n2026-05-12 10:1"s;
    const fs::path copy = temp.Write("20260512.csv", before);
    {
        const Received received(temp, arrived);
        EXPECT_FALSE(AppendToLocalCopy(received.file, copy));
    }
    EXPECT_EQ(ReadWhole(copy), before + WithCrLf(arrived));

    // A copy that would grow past what the disk takes keeps its old length.
    const std::string grown = ReadWhole(copy);
    const Received big(temp, std::string(200000, 'x') + "\n");
    {
        const test::FileSizeLimit limit(grown.size() + 1000);
        EXPECT_EQ(AppendToLocalCopy(big.file, copy), std::errc::file_too_large);
    }
    EXPECT_EQ(ReadWhole(copy), grown);
}

}  // namespace
}  // namespace vorelle
