#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vorelle {

// Result of turning an Intel HEX firmware file into a flat memory image. The
// values are fixed: callers and the command line's exit status use them.
enum HexResult : int {
    kHexImageWritten = 0,
    // The file is empty, a line does not start with ':', or no data record
    // carries a byte.
    kHexNotHex = 1,
    // A record type above 05, or a data record outside the image: its bytes run
    // past address 0xFFFFFFFF, or the image would exceed kHexMaxImageSize.
    kHexOutsideImage = 2,
    // The input cannot be opened or read, or the output cannot be created or
    // written (including: the output is the input file itself).
    kHexFileError = 3,
    // No memory for the input text (or for the image).
    kHexNoMemory = 4,
    kHexBadChecksum = 5,
    // A character that is not a hex digit, or a line whose length is not
    // 2n + 11 characters or exceeds kHexMaxLineLength.
    kHexMalformed = 8,
};

// A line (":" up to its last checksum digit) is at most this long, so a record
// carries at most 122 data bytes.
inline constexpr std::size_t kHexMaxLineLength = 255;
inline constexpr std::size_t kHexMaxRecordBytes = (kHexMaxLineLength - 11) / 2;
// Larger address spans are refused with kHexOutsideImage: the console's flash
// is far smaller, and a stray extended address record must not make us
// allocate gigabytes.
inline constexpr std::uint64_t kHexMaxImageSize = 16u * 1024 * 1024;
// Larger inputs are refused with kHexNoMemory before any allocation.
inline constexpr std::uint64_t kHexMaxInputSize = 256u * 1024 * 1024;

// Image bytes that no data record covers hold this value (erased flash).
inline constexpr std::uint8_t kHexGapFill = 0xFF;

struct HexConversion {
    int code = kHexNotHex;
    // Address of image[0]; meaningful only when code is kHexImageWritten.
    std::uint32_t start = 0;
    // Empty unless code is kHexImageWritten.
    std::vector<std::uint8_t> image;
    // The last record is the end-of-file record (type 01). The image does not
    // depend on it, but a file without it may have been cut short at a line
    // end.
    bool endRecordLast = false;
};

// Checks the whole HEX text, then builds the image from every data record in
// file order (a later record overwrites an earlier one; records after the
// end-of-file record count too). Lines end in CR LF, of which only the LF is
// looked at; the last line may lack its line end. Never returns
// kHexFileError.
HexConversion ConvertHexText(std::span<const std::uint8_t> text);

// Which file a kHexFileError is about.
enum class HexFaultyFile { None, Input, Output };

struct HexFileResult {
    int code = kHexFileError;
    std::uint32_t start = 0;   // first address of the image when written
    std::uint64_t length = 0;  // bytes written
    HexFaultyFile faulty = HexFaultyFile::Input;
    bool endRecordLast = false;  // as in HexConversion, when written
};

// Reads `input`, converts it and writes the image to `output` without a
// header. If the input cannot be opened the output is not touched; after any
// other failure the output exists and is empty.
HexFileResult ConvertHexFile(const std::filesystem::path& input, const std::filesystem::path& output);

// ConvertHexFile's result code alone.
int ConvertHexToImage(const std::filesystem::path& input, const std::filesystem::path& output);

// One line of plain English for a result code.
std::string_view DescribeHexResult(int code);

// Writes `image` as HEX text placed at `start`: an extended linear address
// record wherever the upper 16 address bits change, data records of up to
// `bytesPerRecord` bytes (clamped to 1..kHexMaxRecordBytes) that never cross a
// 64 KiB boundary, and the end-of-file record; CR LF line ends, upper case.
// Bytes that would lie past address 0xFFFFFFFF are left out.
std::string FormatHexImage(std::uint32_t start, std::span<const std::uint8_t> image,
                           std::size_t bytesPerRecord = 16);

}  // namespace vorelle
