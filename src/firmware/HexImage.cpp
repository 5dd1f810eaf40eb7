#include "firmware/HexImage.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <limits>
#include <new>
#include <system_error>

namespace vorelle {

namespace {

constexpr std::uint8_t kNotHexDigit = 0xFF;

constexpr std::array<std::uint8_t, 256> MakeDigitTable()
{
    std::array<std::uint8_t, 256> table{};
    table.fill(kNotHexDigit);
    for (int i = 0; i < 10; ++i)
        table['0' + i] = static_cast<std::uint8_t>(i);
    for (int i = 0; i < 6; ++i) {
        table['A' + i] = static_cast<std::uint8_t>(10 + i);
        table['a' + i] = static_cast<std::uint8_t>(10 + i);
    }
    return table;
}

constexpr std::array<std::uint8_t, 256> kDigitValue = MakeDigitTable();

enum RecordType : std::uint8_t {
    kData = 0x00,
    kEndOfFile = 0x01,
    kExtendedSegment = 0x02,
    kStartSegment = 0x03,
    kExtendedLinear = 0x04,
    kStartLinear = 0x05,
};

// Two hex digits that have already been checked.
std::uint8_t ByteAt(const std::uint8_t* digits)
{
    return static_cast<std::uint8_t>((kDigitValue[digits[0]] << 4) | kDigitValue[digits[1]]);
}

// The header of a record whose line has passed validation.
struct Record {
    const std::uint8_t* data;  // first digit of the first data byte
    std::uint16_t address;
    std::uint8_t type;
    std::uint8_t count;
    std::uint16_t Value() const { return static_cast<std::uint16_t>((ByteAt(data) << 8) | ByteAt(data + 2)); }
};

Record ReadRecord(const std::uint8_t* line)
{
    Record record;
    record.count = ByteAt(line + 1);
    record.address = static_cast<std::uint16_t>((ByteAt(line + 3) << 8) | ByteAt(line + 5));
    record.type = ByteAt(line + 7);
    record.data = line + 9;
    return record;
}

// Every line is known to be 2n + 11 characters plus its two line-end
// characters (the last line may stop short), so the records of validated text
// follow each other at fixed steps.
template <typename Visit>
void ForEachRecord(std::span<const std::uint8_t> text, Visit&& visit)
{
    std::size_t offset = 0;
    while (offset < text.size()) {
        const Record record = ReadRecord(text.data() + offset);
        visit(record);
        offset += 2 * std::size_t{record.count} + 13;
    }
}

// The base an address record sets, or `base` unchanged for other records.
std::uint32_t NextBase(const Record& record, std::uint32_t base)
{
    if (record.type == kExtendedSegment)
        return std::uint32_t{record.Value()} << 4;
    if (record.type == kExtendedLinear)
        return std::uint32_t{record.Value()} << 16;
    return base;
}

int ValidateLine(const std::uint8_t* line, std::size_t length)
{
    for (std::size_t i = 1; i < length; ++i) {
        if (kDigitValue[line[i]] == kNotHexDigit)
            return kHexMalformed;
    }
    if (length < 11 || length > kHexMaxLineLength)
        return kHexMalformed;
    const std::size_t count = ByteAt(line + 1);
    if (2 * count + 11 != length)
        return kHexMalformed;
    const std::uint8_t type = ByteAt(line + 7);
    if (type > kStartLinear)
        return kHexOutsideImage;
    // An address record's value is its two data bytes; with any other count
    // there is no value to take.
    if ((type == kExtendedSegment || type == kExtendedLinear) && count != 2)
        return kHexMalformed;
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < count + 4; ++i)
        sum = static_cast<std::uint8_t>(sum + ByteAt(line + 1 + 2 * i));
    const std::uint8_t checksum = ByteAt(line + 9 + 2 * count);
    if (static_cast<std::uint8_t>(0x100 - sum) != checksum)
        return kHexBadChecksum;
    return kHexImageWritten;
}

int Validate(std::span<const std::uint8_t> text)
{
    // A line's LF may be at most this far from its ':' (the CR sits between).
    constexpr std::size_t kFarthestLineFeed = kHexMaxLineLength + 1;
    std::size_t offset = 0;
    while (offset < text.size()) {
        const std::uint8_t* line = text.data() + offset;
        if (line[0] != ':')
            return kHexNotHex;
        const std::size_t rest = text.size() - offset;
        const std::size_t window = std::min(rest, kFarthestLineFeed + 1);
        const auto* lineFeed = static_cast<const std::uint8_t*>(std::memchr(line, '\n', window));
        std::size_t length;
        if (lineFeed != nullptr)
            length = static_cast<std::size_t>(lineFeed - line) - 1;  // the character before LF is the CR
        else if (rest == window)
            length = rest;  // the last line, without a line end
        else
            return kHexMalformed;  // no line end within the longest allowed line
        const int result = ValidateLine(line, length);
        if (result != kHexImageWritten)
            return result;
        offset += length + 2;
    }
    return kHexImageWritten;
}

struct Extent {
    std::uint32_t start = std::numeric_limits<std::uint32_t>::max();
    // One past the last byte; 64 bits so that a record running past
    // 0xFFFFFFFF shows as such instead of wrapping to a low address.
    std::uint64_t end = 0;
    bool any = false;
    bool endRecordLast = false;
};

Extent FindExtent(std::span<const std::uint8_t> text)
{
    Extent extent;
    std::uint32_t base = 0;
    ForEachRecord(text, [&](const Record& record) {
        base = NextBase(record, base);
        extent.endRecordLast = record.type == kEndOfFile;
        // A record without bytes puts nothing into the image, so it does not
        // widen it either.
        if (record.type != kData || record.count == 0)
            return;
        const std::uint32_t address = base + record.address;  // both parts < 2^32 - 2^16: no wrap
        extent.start = std::min(extent.start, address);
        extent.end = std::max(extent.end, std::uint64_t{address} + record.count);
        extent.any = true;
    });
    return extent;
}

}  // namespace

HexConversion ConvertHexText(std::span<const std::uint8_t> text)
{
    HexConversion result;
    result.code = Validate(text);
    if (result.code != kHexImageWritten)
        return result;

    const Extent extent = FindExtent(text);
    if (!extent.any) {
        result.code = kHexNotHex;
        return result;
    }
    constexpr std::uint64_t kAddressSpace = std::uint64_t{1} << 32;
    const std::uint64_t length = extent.end - extent.start;
    if (extent.end > kAddressSpace || length > kHexMaxImageSize) {
        result.code = kHexOutsideImage;
        return result;
    }

    try {
        result.image.assign(static_cast<std::size_t>(length), kHexGapFill);
    } catch (const std::bad_alloc&) {
        result.code = kHexNoMemory;
        return result;
    }

    // Every data record lies within [start, end), so offset + count <= length:
    // the copy stays inside the image.
    std::uint32_t base = 0;
    std::uint8_t* image = result.image.data();
    ForEachRecord(text, [&](const Record& record) {
        base = NextBase(record, base);
        if (record.type != kData)
            return;
        const std::uint32_t offset = base + record.address - extent.start;
        for (std::size_t i = 0; i < record.count; ++i)
            image[offset + i] = ByteAt(record.data + 2 * i);
    });
    result.start = extent.start;
    result.endRecordLast = extent.endRecordLast;
    result.code = kHexImageWritten;
    return result;
}

HexFileResult ConvertHexFile(const std::filesystem::path& input, const std::filesystem::path& output)
{
    HexFileResult result;
    std::error_code error;
    // A directory opens like a file on some systems; it is not one.
    if (std::filesystem::is_directory(input, error))
        return result;
    std::ifstream in(input, std::ios::binary);
    if (!in)
        return result;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (!in || size < 0)
        return result;
    // Truncating the output must never destroy the input it was about to be
    // made from.
    result.faulty = HexFaultyFile::Output;
    if (std::filesystem::equivalent(input, output, error))
        return result;

    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    if (!out)
        return result;

    // From here the output exists, empty, until the image is complete.
    result.faulty = HexFaultyFile::Input;
    std::vector<std::uint8_t> text;
    if (static_cast<std::uint64_t>(size) > kHexMaxInputSize) {
        result.code = kHexNoMemory;
        return result;
    }
    try {
        text.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        result.code = kHexNoMemory;
        return result;
    }
    in.read(reinterpret_cast<char*>(text.data()), size);
    if (in.gcount() != size)
        return result;  // kHexFileError: the input could not be read whole

    HexConversion conversion = ConvertHexText(text);
    text = {};
    if (conversion.code != kHexImageWritten) {
        result.code = conversion.code;
        return result;
    }
    result.faulty = HexFaultyFile::Output;
    out.write(reinterpret_cast<const char*>(conversion.image.data()),
              static_cast<std::streamsize>(conversion.image.size()));
    out.close();
    if (!out) {
        // A partial image must not pass for a whole one.
        std::filesystem::resize_file(output, 0, error);
        return result;
    }
    result.code = kHexImageWritten;
    result.faulty = HexFaultyFile::None;
    result.start = conversion.start;
    result.length = conversion.image.size();
    result.endRecordLast = conversion.endRecordLast;
    return result;
}

int ConvertHexToImage(const std::filesystem::path& input, const std::filesystem::path& output)
{
    return ConvertHexFile(input, output).code;
}

std::string_view DescribeHexResult(int code)
{
    switch (code) {
    case kHexImageWritten:
        return "image written";
    case kHexNotHex:
        return "not a HEX firmware file: it is empty, a line does not start with ':', or it holds no data";
    case kHexOutsideImage:
        return "a record type above 05, or data outside the image (past address 0xFFFFFFFF or spanning more "
               "than 16 MiB)";
    case kHexFileError:
        return "the input file cannot be opened or read, or the output file cannot be created or written";
    case kHexNoMemory:
        return "not enough memory for the input file (files over 256 MiB are refused)";
    case kHexBadChecksum:
        return "a record's checksum does not match: the file is damaged";
    case kHexMalformed:
        return "a line is malformed: a character that is not a hex digit, or a wrong length (lines must end "
               "in CR LF)";
    default:
        return "unknown result code";
    }
}

namespace {

void AppendRecord(std::string& text, std::uint16_t address, std::uint8_t type, const std::uint8_t* data,
                  std::size_t count)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::uint8_t sum = 0;
    auto put = [&](std::uint8_t byte) {
        sum = static_cast<std::uint8_t>(sum + byte);
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 0x0F]);
    };
    text.push_back(':');
    put(static_cast<std::uint8_t>(count));
    put(static_cast<std::uint8_t>(address >> 8));
    put(static_cast<std::uint8_t>(address));
    put(type);
    for (std::size_t i = 0; i < count; ++i)
        put(data[i]);
    const std::uint8_t checksum = static_cast<std::uint8_t>(0x100 - sum);
    text.push_back(kDigits[checksum >> 4]);
    text.push_back(kDigits[checksum & 0x0F]);
    text += "\r\n";
}

}  // namespace

std::string FormatHexImage(std::uint32_t start, std::span<const std::uint8_t> image, std::size_t bytesPerRecord)
{
    bytesPerRecord = std::clamp<std::size_t>(bytesPerRecord, 1, kHexMaxRecordBytes);
    constexpr std::uint64_t kAddressSpace = std::uint64_t{1} << 32;
    const std::uint64_t fits = kAddressSpace - start;
    if (image.size() > fits)
        image = image.first(static_cast<std::size_t>(fits));

    std::string text;
    text.reserve(image.size() / bytesPerRecord * (2 * bytesPerRecord + 13) + 64);
    std::uint32_t upper = 0;  // the base starts at 0
    std::size_t done = 0;
    while (done < image.size()) {
        const std::uint32_t address = start + static_cast<std::uint32_t>(done);
        if ((address >> 16) != upper) {
            upper = address >> 16;
            const std::uint8_t value[2] = {static_cast<std::uint8_t>(upper >> 8), static_cast<std::uint8_t>(upper)};
            AppendRecord(text, 0, kExtendedLinear, value, 2);
        }
        const std::size_t toBoundary = 0x10000 - (address & 0xFFFF);
        const std::size_t count = std::min({bytesPerRecord, image.size() - done, toBoundary});
        AppendRecord(text, static_cast<std::uint16_t>(address), kData, image.data() + done, count);
        done += count;
    }
    AppendRecord(text, 0, kEndOfFile, nullptr, 0);
    return text;
}

}  // namespace vorelle
