#pragma once

#include "firmware/HexImage.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vorelle {

// The first bytes of every firmware image are the bootloader's own; they are
// never sent, so an image must be longer than this to hold any firmware.
inline constexpr std::size_t kBootloaderBytes = 0x3000;

// Where the console's flash starts, as the maker's tools place a firmware:
// at the processor's flash address or at its alias from address 0. The image
// is written from the flash's first byte, so a file whose data start anywhere
// else would land out of place.
inline constexpr std::array<std::uint32_t, 2> kFlashStarts{0x00000000, 0x08000000};

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

// Why the converter's `result` cannot be written into the console: it failed,
// the file lacks its end-of-file record at the end, its data do not start
// where the flash does, or the image holds no firmware. Empty when it can.
std::string UnusableFirmwareReason(const HexFileResult& result);

struct ConvertedFirmware {
    std::string problem;  // empty when the image can be written
    // The addresses of the image's first and last byte, when one was made.
    std::uint32_t first = 0;
    std::uint64_t last = 0;
};

// Converts the HEX file `hex` into the image file `image` and checks the
// result: the one check every way to an update goes through. On any problem
// the image file is removed and the reason given.
ConvertedFirmware ConvertFirmware(const std::filesystem::path& hex, const std::filesystem::path& image);

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
