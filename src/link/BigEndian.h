#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vorelle {

// The console's multi-byte numbers: most significant byte first.

// Writes the low `bytes.size()` bytes of `value`; bytes beyond its four are 0.
inline void PutBigEndian(std::span<std::uint8_t> bytes, std::uint32_t value)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::size_t shift = 8 * (bytes.size() - 1 - i);
        bytes[i] = shift < 32 ? static_cast<std::uint8_t>(value >> shift) : 0;
    }
}

// Reads up to four bytes as an unsigned number.
inline std::uint32_t ReadBigEndian(std::span<const std::uint8_t> bytes)
{
    std::uint32_t value = 0;
    for (std::uint8_t byte : bytes)
        value = (value << 8) | byte;
    return value;
}

}  // namespace vorelle
