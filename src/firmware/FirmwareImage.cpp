#include "firmware/FirmwareImage.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <system_error>

namespace vorelle {

namespace {

constexpr const char* kOpenFileError = "Open File Error";

std::string TooShortReason(std::uint64_t length)
{
    return "its image is " + std::to_string(length) + " bytes, no longer than the bootloader's own " +
           std::to_string(kBootloaderBytes) + ", so it holds no firmware";
}

}  // namespace

FirmwareFiles FirmwareFiles::In(const std::filesystem::path& folder)
{
    return {folder / "Tempbin.hex", folder / "Tempbin.bin"};
}

void FirmwareFiles::Remove() const
{
    std::error_code ignored;
    std::filesystem::remove(hex, ignored);
    std::filesystem::remove(image, ignored);
}

std::string UnusableFirmwareReason(const HexFileResult& result)
{
    if (result.code != kHexImageWritten)
        return std::string(DescribeHexResult(result.code)) + " (converter result " + std::to_string(result.code) + ")";
    if (!result.endRecordLast)
        return "it does not end with its end-of-file record (type 01), so it may have been cut short (converter "
               "result 0)";
    if (std::find(kFlashStarts.begin(), kFlashStarts.end(), result.start) == kFlashStarts.end()) {
        char reason[160];
        std::snprintf(reason, sizeof reason,
                      "its data start at address 0x%08" PRIX32 ", not where the flash starts (0x%08" PRIX32
                      " or 0x%08" PRIX32 "), so it would be written out of place (converter result 0)",
                      result.start, kFlashStarts[0], kFlashStarts[1]);
        return reason;
    }
    if (result.length <= kBootloaderBytes)
        return TooShortReason(result.length) + " (converter result 0)";
    return {};
}

std::string ImageLengthProblem(std::uint64_t length)
{
    if (length > kBootloaderBytes)
        return {};
    return "The firmware image cannot be used: " + TooShortReason(length) + ".";
}

ConvertedFirmware ConvertFirmware(const std::filesystem::path& hex, const std::filesystem::path& image)
{
    const HexFileResult result = ConvertHexFile(hex, image);
    ConvertedFirmware converted{UnusableFirmwareReason(result)};
    if (result.length > 0) {
        converted.first = result.start;
        converted.last = result.start + result.length - 1;
    }
    if (!converted.problem.empty()) {
        std::error_code ignored;
        std::filesystem::remove(image, ignored);
    }
    return converted;
}

LoadedFirmware LoadFirmwareImage(const std::filesystem::path& image)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(image, error);
    if (error)
        return {{}, kOpenFileError};
    // No converted image is larger; a larger file is not one of ours.
    if (size > kHexMaxImageSize)
        return {{}, "The firmware image cannot be used: it is larger than " + std::to_string(kHexMaxImageSize) +
                        " bytes."};
    LoadedFirmware loaded;
    loaded.image.resize(static_cast<std::size_t>(size));
    std::ifstream in(image, std::ios::binary);
    if (!in || !in.read(reinterpret_cast<char*>(loaded.image.data()), static_cast<std::streamsize>(size)) ||
        in.peek() != std::ifstream::traits_type::eof())
        return {{}, kOpenFileError};
    loaded.problem = ImageLengthProblem(loaded.image.size());
    if (!loaded.problem.empty())
        loaded.image.clear();
    return loaded;
}

}  // namespace vorelle
