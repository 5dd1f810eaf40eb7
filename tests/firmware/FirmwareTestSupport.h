#pragma once

#include "firmware/FirmwareImage.h"
#include "firmware/HexImage.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace vorelle::test {

// A firmware image as the maker builds one: the bootloader's own bytes, then
// `firmware` bytes of firmware, none of them 0xFF (erased flash), so that a
// block the console never took shows in what it holds.
inline std::vector<std::uint8_t> MakeFirmwareImage(std::size_t firmware)
{
    std::vector<std::uint8_t> image(kBootloaderBytes + firmware);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>((i * 7 + i / 251) % 255);
    return image;
}

// The image as the maker's HEX file, placed where the console's flash starts.
inline std::string FirmwareHex(const std::vector<std::uint8_t>& image)
{
    return FormatHexImage(0x08000000, image);
}

// The file cut at the line end before its end-of-file record, as a transfer
// that stopped early leaves it.
inline std::string WithoutEndRecord(const std::string& hex) { return hex.substr(0, hex.rfind(':')); }

inline void WriteBytes(const std::filesystem::path& path, const void* bytes, std::size_t count)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(bytes), static_cast<std::streamsize>(count));
}

}  // namespace vorelle::test
