// Varied valid HEX files, converted by us and by GNU objcopy, must give the
// same image byte for byte.
#include "firmware/HexImage.h"

#include "firmware/HexTestSupport.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace vorelle::test {
namespace {

bool ObjcopyAvailable()
{
    return std::system("objcopy --version >/dev/null 2>&1") == 0;
}

// objcopy's images of in-0.hex ... in-(count-1).hex in `dir`, as
// objcopy-N.bin, from one shell: a fork of this process per file costs
// seconds each under ThreadSanitizer. False when objcopy refused a file.
bool ObjcopyImages(const std::filesystem::path& dir, int count)
{
    const std::string command = "cd '" + dir.string() + "' && i=0; while [ $i -lt " + std::to_string(count) +
                                " ]; do objcopy -I ihex -O binary --gap-fill 0xFF in-$i.hex objcopy-$i.bin "
                                "2>/dev/null || exit 1; i=$((i + 1)); done";
    return std::system(command.c_str()) == 0;
}

struct Chunk {
    std::uint32_t address;
    Bytes data;
};

struct Generated {
    std::string text;
    std::uint32_t start;
    std::uint64_t end;
};

// A file both converters must read alike: data records that never overlap
// (objcopy keeps no file order among overlapping sections), placed through
// extended linear or segment records, with start records mixed in, in
// shuffled order, lower-case digits in some lines, and sometimes no line end
// after the last line. objcopy adds a segment base and a linear base where
// we let the later one replace the other, so the other is reset to 0 first.
Generated Generate(std::mt19937& random)
{
    auto uniform = [&](std::uint32_t low, std::uint32_t high) {
        return std::uniform_int_distribution<std::uint32_t>(low, high)(random);
    };
    const std::uint32_t origins[] = {0x00000000, 0x00001000, 0x0800F000, 0x000F8000, 0xFFF00000};
    std::uint64_t cursor = origins[uniform(0, std::size(origins) - 1)] + uniform(0, 0x3FF);
    std::vector<Chunk> chunks;
    const std::uint32_t chunkCount = uniform(1, 60);
    for (std::uint32_t i = 0; i < chunkCount; ++i) {
        const std::uint32_t gapKind = uniform(0, 9);
        if (gapKind >= 7)
            cursor += uniform(1, 300);
        else if (gapKind == 6)
            cursor += uniform(0x8000, 0x18000);
        const std::uint32_t size = uniform(1, kHexMaxRecordBytes);
        if (cursor + size > (std::uint64_t{1} << 32))
            break;
        Bytes data(size);
        for (auto& byte : data)
            byte = static_cast<std::uint8_t>(uniform(0, 255));
        chunks.push_back({static_cast<std::uint32_t>(cursor), std::move(data)});
        cursor += size;
    }
    if (uniform(0, 1) == 1)
        std::shuffle(chunks.begin(), chunks.end(), random);

    Generated generated{{}, UINT32_MAX, 0};
    const bool lowerCase = uniform(0, 2) == 0;
    auto emit = [&](std::string line) {
        if (lowerCase && uniform(0, 1) == 1)
            std::transform(line.begin(), line.end(), line.begin(), [](unsigned char c) { return std::tolower(c); });
        generated.text += line;
    };
    std::uint16_t segment = 0;
    std::uint16_t upper = 0;
    for (const Chunk& chunk : chunks) {
        generated.start = std::min(generated.start, chunk.address);
        generated.end = std::max(generated.end, std::uint64_t{chunk.address} + chunk.data.size());
        // A segment base reaches only the lowest 1 MiB + 64 KiB.
        const bool useSegment = chunk.address < 0x100000 && uniform(0, 2) == 0;
        std::uint32_t base;
        if (useSegment) {
            const std::uint32_t lowest = chunk.address > 0xFFFF ? (chunk.address - 0xFFFF + 15) / 16 : 0;
            const auto wanted = static_cast<std::uint16_t>(uniform(lowest, chunk.address / 16));
            if (upper != 0) {
                emit(LinearRecord(0));
                upper = 0;
            }
            if (wanted != segment || uniform(0, 3) == 0)
                emit(SegmentRecord(wanted));
            segment = wanted;
            base = std::uint32_t{segment} * 16;
        } else {
            const auto wanted = static_cast<std::uint16_t>(chunk.address >> 16);
            if (segment != 0) {
                emit(SegmentRecord(0));
                segment = 0;
            }
            if (wanted != upper || uniform(0, 3) == 0)
                emit(LinearRecord(wanted));
            upper = wanted;
            base = std::uint32_t{upper} << 16;
        }
        emit(DataRecord(static_cast<std::uint16_t>(chunk.address - base), chunk.data));
        if (uniform(0, 15) == 0)
            emit(HexRecord(0, uniform(0, 1) == 0 ? 0x03 : 0x05, {0x12, 0x34, 0x56, 0x78}));
    }
    emit(kEndRecord);
    if (uniform(0, 3) == 0)
        generated.text.resize(generated.text.size() - 2);
    return generated;
}

TEST(HexDifferentialTest, VariedFilesGiveObjcopysImage)
{
    if (!ObjcopyAvailable())
        GTEST_SKIP() << "objcopy is not on PATH";
    TempFolder dir;
    constexpr int kFiles = 80;
    constexpr unsigned kSeed = 20240611;
    std::mt19937 random(kSeed);
    std::vector<Generated> files;
    for (int file = 0; file < kFiles; ++file) {
        files.push_back(Generate(random));
        WriteFile(dir.Path() / ("in-" + std::to_string(file) + ".hex"), files.back().text);
    }
    ASSERT_TRUE(ObjcopyImages(dir.Path(), kFiles)) << "objcopy refused a file";
    for (int file = 0; file < kFiles; ++file) {
        SCOPED_TRACE("seed " + std::to_string(kSeed) + ", file " + std::to_string(file));
        const auto ours = dir.Path() / "ours.bin";
        const HexFileResult result = ConvertHexFile(dir.Path() / ("in-" + std::to_string(file) + ".hex"), ours);
        ASSERT_EQ(result.code, kHexImageWritten);
        EXPECT_EQ(result.start, files[file].start);
        EXPECT_EQ(result.length, files[file].end - files[file].start);
        const Bytes expected = ReadFile(dir.Path() / ("objcopy-" + std::to_string(file) + ".bin"));
        const Bytes image = ReadFile(ours);
        ASSERT_EQ(image.size(), expected.size());
        EXPECT_TRUE(image == expected) << "first difference at offset "
                                       << std::mismatch(image.begin(), image.end(), expected.begin()).first -
                                              image.begin();
    }
}

}  // namespace
}  // namespace vorelle::test
