#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vorelle {

// The first bytes of every firmware image are the bootloader's own; they are
// never sent, so an image must be longer than this to hold any firmware.
inline constexpr std::size_t kBootloaderBytes = 0x3000;

// The working files of one update in the data folder: the HEX text as
// downloaded and the memory image converted from it.
struct FirmwareFiles {
    std::filesystem::path hex;
    std::filesystem::path image;

    // Tempbin.hex and Tempbin.bin in `folder`.
    static FirmwareFiles In(const std::filesystem::path& folder);
    // Removes both, ignoring failures (a file that is not there is fine).
    void Remove() const;
};

// Why an image that the converter ended with `code` and `length` bytes
// cannot be written into the console; empty when it can.
std::string UnusableFirmwareReason(int code, std::uint64_t length);

// Converts the HEX file `hex` into the image file `image` and checks the
// result. On any problem the image file is removed and the reason returned;
// empty when the image can be written.
std::string ConvertFirmware(const std::filesystem::path& hex, const std::filesystem::path& image);

// What is wrong with an image of `length` bytes, as the owner is told; empty
// when it is long enough to hold firmware.
std::string ImageLengthProblem(std::uint64_t length);

struct LoadedFirmware {
    std::vector<std::uint8_t> image;
    std::string problem;  // empty when the image can be written
};

// Reads the image file whole and checks it again, since it may have changed
// on disk since it was converted.
LoadedFirmware LoadFirmwareImage(const std::filesystem::path& image);

}  // namespace vorelle
