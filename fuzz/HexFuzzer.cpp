// Fuzz entry point for the HEX converter. Built with libFuzzer as hex_fuzzer,
// and without it, under ReplayMain, as the corpus replay that ctest runs.
#include "FuzzCheck.h"
#include "firmware/HexImage.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <vector>

namespace {

std::optional<unsigned> Digit(std::uint8_t c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return std::nullopt;
}

unsigned Byte(const std::uint8_t* p)
{
    return *Digit(p[0]) * 16 + *Digit(p[1]);
}

struct Expected {
    std::uint64_t start = UINT64_MAX;
    std::uint64_t end = 0;
    std::vector<std::uint8_t> image;
};

// A second, deliberately plain reading of text the converter accepted: split
// at LF, drop the character before it, apply every data record in order.
Expected ReadAccepted(std::span<const std::uint8_t> text)
{
    struct Data {
        std::uint64_t address;
        const std::uint8_t* bytes;
        unsigned count;
    };
    std::vector<Data> records;
    std::uint64_t base = 0;
    std::size_t lineStart = 0;
    while (lineStart < text.size()) {
        const auto lineFeed = std::find(text.begin() + static_cast<std::ptrdiff_t>(lineStart), text.end(), '\n');
        const std::size_t stop = static_cast<std::size_t>(lineFeed - text.begin());
        const std::size_t length = lineFeed == text.end() ? stop - lineStart : stop - lineStart - 1;
        const std::uint8_t* line = text.data() + lineStart;
        Check(length >= 11 && line[0] == ':', "accepted line shape");
        const unsigned count = Byte(line + 1);
        const unsigned address = Byte(line + 3) * 256 + Byte(line + 5);
        const unsigned type = Byte(line + 7);
        Check(length == 2 * count + 11 && type <= 5, "accepted record fields");
        if (type == 2)
            base = (Byte(line + 9) * 256 + Byte(line + 11)) * 16ull;
        if (type == 4)
            base = (Byte(line + 9) * 256 + Byte(line + 11)) * 65536ull;
        if (type == 0)
            records.push_back({base + address, line + 9, count});
        lineStart = stop + 1;
    }
    Expected expected;
    for (const Data& d : records) {
        if (d.count == 0)
            continue;
        expected.start = std::min(expected.start, d.address);
        expected.end = std::max(expected.end, d.address + d.count);
    }
    Check(expected.end > expected.start, "accepted text holds data");
    expected.image.assign(expected.end - expected.start, 0xFF);
    for (const Data& d : records) {
        for (unsigned i = 0; i < d.count; ++i)
            expected.image[d.address - expected.start + i] = static_cast<std::uint8_t>(Byte(d.bytes + 2 * i));
    }
    return expected;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vorelle;
    const std::span<const std::uint8_t> text(data, size);
    const HexConversion result = ConvertHexText(text);

    if (size == 0 || data[0] != ':')
        Check(result.code == kHexNotHex, "text not starting with ':' gives code 1");
    if (result.code != kHexImageWritten) {
        Check(result.code == kHexNotHex || result.code == kHexOutsideImage || result.code == kHexNoMemory ||
                  result.code == kHexBadChecksum || result.code == kHexMalformed,
              "known failure code");
        Check(result.image.empty(), "no image after a failure");
        return 0;
    }

    Check(!result.image.empty(), "an image is never empty");
    Check(result.image.size() <= kHexMaxImageSize, "image size limit");
    Check(std::uint64_t{result.start} + result.image.size() <= (std::uint64_t{1} << 32), "image within 32 bits");

    const Expected expected = ReadAccepted(text);
    Check(expected.start == result.start, "image starts at the lowest data address");
    Check(expected.end - expected.start == result.image.size(), "image is End - Start bytes");
    Check(expected.image == result.image, "image bytes: later records win, gaps are 0xFF");

    // Written back out and read again, an image must come back unchanged.
    if (result.image.size() <= 64 * 1024) {
        const std::string again = FormatHexImage(result.start, result.image, 1 + size % kHexMaxRecordBytes);
        const HexConversion back =
            ConvertHexText({reinterpret_cast<const std::uint8_t*>(again.data()), again.size()});
        Check(back.code == kHexImageWritten && back.start == result.start && back.image == result.image,
              "format and convert round trip");
    }
    return 0;
}

#ifdef VORELLE2_LIBFUZZER

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

namespace {

void PutByte(std::uint8_t* p, unsigned value)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    p[0] = static_cast<std::uint8_t>(kDigits[(value >> 4) & 0xF]);
    p[1] = static_cast<std::uint8_t>(kDigits[value & 0xF]);
}

// Random changes almost never keep a checksum right, so most mutants would
// stop at the checksum check. Repairing the count and checksum of every
// line that is otherwise well formed lets the fuzzer reach the address logic.
void RepairLines(std::uint8_t* data, std::size_t size, bool fixCount)
{
    std::size_t start = 0;
    while (start < size) {
        std::size_t stop = start;
        while (stop < size && data[stop] != '\n')
            ++stop;
        const std::size_t length = stop < size ? stop - start - (stop > start ? 1 : 0) : stop - start;
        std::uint8_t* line = data + start;
        const bool digits = std::all_of(line + 1, line + std::max<std::size_t>(length, 1),
                                        [](std::uint8_t c) { return Digit(c).has_value(); });
        if (line[0] == ':' && length >= 11 && length % 2 == 1 && length <= vorelle::kHexMaxLineLength && digits) {
            const unsigned count = static_cast<unsigned>((length - 11) / 2);
            if (fixCount)
                PutByte(line + 1, count);
            if (Byte(line + 1) == count) {
                unsigned sum = 0;
                for (unsigned i = 0; i < count + 4; ++i)
                    sum += Byte(line + 1 + 2 * i);
                PutByte(line + 9 + 2 * count, (0x100 - (sum & 0xFF)) & 0xFF);
            }
        }
        start = stop + 1;
    }
}

}  // namespace

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                               unsigned int seed)
{
    size = LLVMFuzzerMutate(data, size, maxSize);
    if (seed % 4 != 0)
        RepairLines(data, size, seed % 3 == 0);
    return size;
}

#endif
