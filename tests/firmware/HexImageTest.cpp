#include "firmware/HexImage.h"

#include "firmware/HexTestSupport.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace vorelle::test {
namespace {

struct CodeCase {
    const char* name;
    std::string text;
    int code;
};

std::string LineOfLength(std::size_t digits)
{
    return ":" + std::string(digits, '0') + "\r\n";
}

TEST(HexImageTest, FailuresGiveTheirResultCode)
{
    const std::string data16 = DataRecord(0x0000, Iota(16));
    std::string checksumOffByOne = data16;
    checksumOffByOne[checksumOffByOne.size() - 3] += 1;  // last checksum digit; it is not 'F' or '9'
    std::string lfOnly = HexRecord(0, 0, {1, 2}, "\n") + HexRecord(0, 1, {}, "\n");
    std::string badDigit = DataRecord(0, {0x12, 0x34});
    badDigit[10] = 'g';
    std::string badChecksumDigit = kEndRecord;
    badChecksumDigit[10] = 'X';
    std::string countTooLarge = DataRecord(0, {1, 2});
    countTooLarge[2] = '3';

    const CodeCase cases[] = {
        {"empty file", "", kHexNotHex},
        {"text that is not HEX", "hello\r\n", kHexNotHex},
        {"only an end-of-file record", kEndRecord, kHexNotHex},
        {"blank line after the end-of-file record", data16 + kEndRecord + "\r\n", kHexNotHex},
        {"second line without a colon", data16 + "x" + kEndRecord, kHexNotHex},
        {"only empty data records", DataRecord(0x10, {}) + kEndRecord, kHexNotHex},
        {"record type 06", HexRecord(0, 0x06, {1}) + kEndRecord, kHexOutsideImage},
        {"record type FF", HexRecord(0, 0xFF, {}) + kEndRecord, kHexOutsideImage},
        {"data record running past 0xFFFFFFFF", LinearRecord(0xFFFF) + DataRecord(0xFFF8, Iota(16)) + kEndRecord,
         kHexOutsideImage},
        {"data at 0 and a record running past 0xFFFFFFFF",
         DataRecord(0, Iota(16)) + LinearRecord(0xFFFF) + DataRecord(0xFFF0, Iota(32)) + kEndRecord,
         kHexOutsideImage},
        // With a 32-bit end this record's end wraps to 0x10, inside the
        // image the other record spans, and its copy would overrun it.
        {"wrapped end landing inside the image",
         LinearRecord(0xFFFF) + DataRecord(0xFFF0, Iota(32)) + DataRecord(0xFFE0, Iota(20)) + kEndRecord,
         kHexOutsideImage},
        {"span of 16 MiB and one byte",
         DataRecord(0, {1}) + LinearRecord(0x0100) + DataRecord(0x0000, {2}) + kEndRecord, kHexOutsideImage},
        {"checksum off by one", checksumOffByOne + kEndRecord, kHexBadChecksum},
        {"end-of-file record with checksum 00", ":0000000100\r\n", kHexBadChecksum},
        {"lines ending in LF only", lfOnly, kHexMalformed},
        {"a data digit that is not hex", badDigit + kEndRecord, kHexMalformed},
        {"a checksum digit that is not hex", badChecksumDigit, kHexMalformed},
        {"space before the line end", ":00000001FF \r\n", kHexMalformed},
        {"lines ending in CR only", ":0100000001FE\r:00000001FF\r", kHexMalformed},
        {"count larger than the line", countTooLarge + kEndRecord, kHexMalformed},
        {"line too short to hold a record", ":0\r\n" + kEndRecord, kHexMalformed},
        {"colon alone", ":", kHexMalformed},
        {"123 data bytes (257 characters)", DataRecord(0, Iota(123)) + kEndRecord, kHexMalformed},
        {"last line of 256 characters", LineOfLength(255).substr(0, 256), kHexMalformed},
        {"long line without any line end", ":" + std::string(400, '0'), kHexMalformed},
        {"extended segment record with one byte", HexRecord(0, 0x02, {0x10}) + kEndRecord, kHexMalformed},
        {"extended linear record with three bytes", HexRecord(0, 0x04, {0, 1, 2}) + kEndRecord, kHexMalformed},
        // Every line is checked before any address is looked at.
        {"checksum error after data past the top",
         LinearRecord(0xFFFF) + DataRecord(0xFFF8, Iota(16)) + checksumOffByOne, kHexBadChecksum},
        {"bad type after a bad checksum", checksumOffByOne + HexRecord(0, 0x06, {}), kHexBadChecksum},
    };
    for (const CodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const HexConversion result = Convert(c.text);
        EXPECT_EQ(result.code, c.code);
        EXPECT_TRUE(result.image.empty());
    }
}

struct ImageCase {
    const char* name;
    std::string text;
    std::uint32_t start;
    Bytes image;
};

Bytes Concat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

TEST(HexImageTest, ImagesHoldEveryDataRecordInFileOrder)
{
    const Bytes first = Iota(16, 0x40);
    const Bytes second = Iota(16, 0x80);
    std::string examinedNot = DataRecord(0, {1, 2});
    examinedNot[examinedNot.size() - 2] = 'x';  // the character before LF
    const std::string lastWithoutLineEnd = DataRecord(0, {1, 2}) + ":00000001FF";

    const ImageCase cases[] = {
        {"extended linear 0x0800, records at 0x3000 and 0x3010",
         LinearRecord(0x0800) + DataRecord(0x3000, first) + DataRecord(0x3010, second) + kEndRecord, 0x08003000,
         Concat(first, second)},
        {"start linear record between two data records",
         DataRecord(0x10, {1, 2}) + HexRecord(0, 0x05, {0x12, 0x34, 0x56, 0x78}) + DataRecord(0x12, {3, 4}) +
             kEndRecord,
         0x10, {1, 2, 3, 4}},
        {"start segment record between two data records",
         DataRecord(0x10, {1, 2}) + HexRecord(0, 0x03, {0x12, 0x34, 0x56, 0x78}) + DataRecord(0x12, {3, 4}) +
             kEndRecord,
         0x10, {1, 2, 3, 4}},
        {"uncovered bytes are 0xFF", DataRecord(0x20, {1}) + DataRecord(0x23, {2}) + kEndRecord, 0x20,
         {1, 0xFF, 0xFF, 2}},
        {"a later record overwrites an earlier one",
         DataRecord(0, {1, 1, 1, 1}) + DataRecord(1, {2, 2}) + kEndRecord, 0, {1, 2, 2, 1}},
        {"an earlier record is overwritten whole", DataRecord(1, {2, 2}) + DataRecord(0, {1, 1, 1, 1}) + kEndRecord,
         0, {1, 1, 1, 1}},
        {"records after the end-of-file record count", DataRecord(0, {1, 2}) + kEndRecord + DataRecord(2, {3}), 0,
         {1, 2, 3}},
        {"lower-case digits", Lower(DataRecord(0xABCD, {0xEF, 0xAB}) + kEndRecord), 0xABCD, {0xEF, 0xAB}},
        {"last line without a line end", lastWithoutLineEnd, 0, {1, 2}},
        {"the character before LF is not examined", examinedNot + kEndRecord, 0, {1, 2}},
        {"a line end after the last record", DataRecord(0, {7}) + kEndRecord, 0, {7}},
        {"no end-of-file record at all", DataRecord(0, {7}), 0, {7}},
        {"extended segment address is value x 16", SegmentRecord(0x1234) + DataRecord(0x0010, {7}) + kEndRecord,
         0x12350, {7}},
        {"a record crossing 64 KiB runs on", DataRecord(0xFFFE, {1, 2, 3, 4}) + kEndRecord, 0xFFFE, {1, 2, 3, 4}},
        {"segment record after a linear one replaces the base",
         LinearRecord(0x0001) + DataRecord(0, {1}) + SegmentRecord(0x1000) + DataRecord(1, {2}) + kEndRecord,
         0x10000, {1, 2}},
        {"last byte at 0xFFFFFFFF", LinearRecord(0xFFFF) + DataRecord(0xFFF0, Iota(16)) + kEndRecord, 0xFFFFFFF0,
         Iota(16)},
        {"122 data bytes (255 characters)", DataRecord(0, Iota(122)) + kEndRecord, 0, Iota(122)},
        {"an empty data record does not widen the image", DataRecord(0, {}) + DataRecord(0x10, {5}) + kEndRecord,
         0x10, {5}},
    };
    for (const ImageCase& c : cases) {
        SCOPED_TRACE(c.name);
        const HexConversion result = Convert(c.text);
        ASSERT_EQ(result.code, kHexImageWritten);
        EXPECT_EQ(result.start, c.start);
        EXPECT_EQ(result.image, c.image);
    }
}

TEST(HexImageTest, SpanOfExactly16MiBIsAccepted)
{
    const std::string text = DataRecord(0, {1}) + LinearRecord(0x00FF) + DataRecord(0xFFFF, {2}) + kEndRecord;
    const HexConversion result = Convert(text);
    ASSERT_EQ(result.code, kHexImageWritten);
    ASSERT_EQ(result.image.size(), kHexMaxImageSize);
    EXPECT_EQ(result.image.front(), 1);
    EXPECT_EQ(result.image[1], kHexGapFill);
    EXPECT_EQ(result.image.back(), 2);
}

TEST(HexImageTest, SegmentAndLinearBasesSpanTheirWholeRange)
{
    // The highest segment base plus the highest address stays below 2^21;
    // the highest linear base plus it is the last byte of the address space.
    EXPECT_EQ(Convert(SegmentRecord(0xFFFF) + DataRecord(0xFFFF, {9})).start, 0xFFFF0u + 0xFFFFu);
    EXPECT_EQ(Convert(LinearRecord(0xFFFF) + DataRecord(0xFFFF, {9})).start, 0xFFFFFFFFu);
}

class HexFileTest : public ::testing::Test {
protected:
    TempFolder dir;
    std::filesystem::path input = dir.Path() / "in.hex";
    std::filesystem::path output = dir.Path() / "out.bin";
};

TEST_F(HexFileTest, WritesTheImageWithoutHeader)
{
    WriteFile(input, LinearRecord(0x0800) + DataRecord(0x3000, Iota(16)) + DataRecord(0x3020, {0xAA}) + kEndRecord);
    const HexFileResult result = ConvertHexFile(input, output);
    ASSERT_EQ(result.code, kHexImageWritten);
    EXPECT_EQ(result.start, 0x08003000u);
    EXPECT_EQ(result.length, 0x21u);
    Bytes expected = Iota(16);
    expected.resize(0x20, kHexGapFill);
    expected.push_back(0xAA);
    EXPECT_EQ(ReadFile(output), expected);
    EXPECT_EQ(ConvertHexToImage(input, output), kHexImageWritten);
}

TEST_F(HexFileTest, FailuresLeaveAnEmptyOutput)
{
    std::string checksumOffByOne = DataRecord(0, Iota(16));
    checksumOffByOne[checksumOffByOne.size() - 3] += 1;
    const CodeCase cases[] = {
        {"checksum of a 16-byte record off by one", checksumOffByOne + kEndRecord, kHexBadChecksum},
        {"only an end-of-file record", kEndRecord, kHexNotHex},
        {"empty input", "", kHexNotHex},
        {"record type 06", HexRecord(0, 6, {}), kHexOutsideImage},
        {"lines ending in LF only", HexRecord(0, 0, {1}, "\n") + HexRecord(0, 1, {}, "\n"), kHexMalformed},
    };
    for (const CodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(input, c.text);
        WriteFile(output, "an older image");
        EXPECT_EQ(ConvertHexToImage(input, output), c.code);
        ASSERT_TRUE(std::filesystem::exists(output));
        EXPECT_EQ(std::filesystem::file_size(output), 0u);
    }
}

TEST_F(HexFileTest, UnopenableInputCreatesNoOutput)
{
    EXPECT_EQ(ConvertHexToImage(dir.Path() / "missing.hex", output), kHexFileError);
    EXPECT_FALSE(std::filesystem::exists(output));
    EXPECT_EQ(ConvertHexToImage(dir.Path(), output), kHexFileError);
    EXPECT_FALSE(std::filesystem::exists(output));
}

TEST_F(HexFileTest, UncreatableOutputLeavesTheInputAlone)
{
    const std::string text = DataRecord(0, {1, 2}) + kEndRecord;
    WriteFile(input, text);
    const std::filesystem::path sameFile = dir.Path() / "." / "in.hex";
    const std::filesystem::path noSuchDir = dir.Path() / "missing" / "out.bin";
    for (const auto& out : {input, sameFile, noSuchDir}) {
        SCOPED_TRACE(out.string());
        EXPECT_EQ(ConvertHexToImage(input, out), kHexFileError);
        EXPECT_EQ(ReadFile(input), Bytes(text.begin(), text.end()));
    }
    EXPECT_FALSE(std::filesystem::exists(noSuchDir));
}

TEST_F(HexFileTest, OversizedInputIsRefusedBeforeReading)
{
    // Sparse: takes no disk space, and is refused by its size alone.
    WriteFile(input, ":");
    std::filesystem::resize_file(input, kHexMaxInputSize + 1);
    EXPECT_EQ(ConvertHexToImage(input, output), kHexNoMemory);
    EXPECT_EQ(std::filesystem::file_size(output), 0u);
}

TEST(HexImageTest, EveryResultCodeHasItsOwnDescription)
{
    std::set<std::string_view> seen;
    for (int code : {kHexImageWritten, kHexNotHex, kHexOutsideImage, kHexFileError, kHexNoMemory, kHexBadChecksum,
                     kHexMalformed}) {
        SCOPED_TRACE(code);
        EXPECT_TRUE(seen.insert(DescribeHexResult(code)).second);
    }
    EXPECT_EQ(seen.count(DescribeHexResult(6)), 0u);
}

TEST(HexImageTest, FormattedImagesConvertBack)
{
    struct Case {
        std::uint32_t start;
        std::size_t size;
        std::size_t perRecord;
    };
    const Case cases[] = {
        {0, 1, 16},   {0x0800FFF0, 100, 16},  {0x12345, 5000, 1},
        {0, 300, 122}, {0x2000, 300, 1000},    {0xFFFFFFF0, 16, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        const Bytes image = Iota(c.size, 3);
        const std::string text = FormatHexImage(c.start, image, c.perRecord);
        const HexConversion back = Convert(text);
        ASSERT_EQ(back.code, kHexImageWritten);
        EXPECT_EQ(back.start, c.start);
        EXPECT_EQ(back.image, image);
    }
    // Bytes that would lie past 0xFFFFFFFF are left out.
    EXPECT_EQ(Convert(FormatHexImage(0xFFFFFFFE, Iota(4))).image, Iota(2));
}

}  // namespace
}  // namespace vorelle::test
