#include "firmware/FirmwareImage.h"

#include "firmware/HexImage.h"

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

std::string UnusableFirmwareReason(int code, std::uint64_t length)
{
    if (code != kHexImageWritten)
        return std::string(DescribeHexResult(code)) + " (converter result " + std::to_string(code) + ")";
    if (length <= kBootloaderBytes)
        return TooShortReason(length) + " (converter result 0)";
    return {};
}

std::string ImageLengthProblem(std::uint64_t length)
{
    if (length > kBootloaderBytes)
        return {};
    return "The firmware image cannot be used: " + TooShortReason(length) + ".";
}

std::string ConvertFirmware(const std::filesystem::path& hex, const std::filesystem::path& image)
{
    const HexFileResult result = ConvertHexFile(hex, image);
    std::string reason = UnusableFirmwareReason(result.code, result.length);
    if (!reason.empty()) {
        std::error_code ignored;
        std::filesystem::remove(image, ignored);
    }
    return reason;
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
