#pragma once

#include <cstdint>

namespace vorelle {

// The console's numbers are big-endian but for two: the block addresses of
// the bootloader commands and the clear mask of the max/min records.
inline std::uint32_t ReadLittleEndian32(const std::uint8_t* bytes)
{
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

inline void StoreLittleEndian32(std::uint32_t value, std::uint8_t* bytes)
{
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace vorelle
