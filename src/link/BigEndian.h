#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vorelle {

// The console's multi-byte numbers: most significant byte first.

// Writes the low `bytes.size()` bytes of `value`.
inline void PutBigEndian(std::span<std::uint8_t> bytes, std::uint32_t value)
{
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(value >> (8 * (bytes.size() - 1 - i)));
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
