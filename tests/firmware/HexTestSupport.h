#pragma once

#include "firmware/HexImage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace vorelle::test {

using Bytes = std::vector<std::uint8_t>;

// One HEX record with its right checksum, upper-case digits.
inline std::string HexRecord(std::uint16_t address, std::uint8_t type, const Bytes& data,
                             std::string_view lineEnd = "\r\n")
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string line = ":";
    std::uint8_t sum = 0;
    auto put = [&](std::uint8_t byte) {
        sum = static_cast<std::uint8_t>(sum + byte);
        line += kDigits[byte >> 4];
        line += kDigits[byte & 0x0F];
    };
    put(static_cast<std::uint8_t>(data.size()));
    put(static_cast<std::uint8_t>(address >> 8));
    put(static_cast<std::uint8_t>(address));
    put(type);
    for (std::uint8_t byte : data)
        put(byte);
    const auto checksum = static_cast<std::uint8_t>(0x100 - sum);
    line += kDigits[checksum >> 4];
    line += kDigits[checksum & 0x0F];
    line += lineEnd;
    return line;
}

inline std::string DataRecord(std::uint16_t address, const Bytes& data) { return HexRecord(address, 0x00, data); }
inline std::string SegmentRecord(std::uint16_t segment)
{
    return HexRecord(0, 0x02, {static_cast<std::uint8_t>(segment >> 8), static_cast<std::uint8_t>(segment)});
}
inline std::string LinearRecord(std::uint16_t upper)
{
    return HexRecord(0, 0x04, {static_cast<std::uint8_t>(upper >> 8), static_cast<std::uint8_t>(upper)});
}
inline const std::string kEndRecord = ":00000001FF\r\n";

inline Bytes Iota(std::size_t count, std::uint8_t first = 0)
{
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<std::uint8_t>(first + i);
    return bytes;
}

inline HexConversion Convert(std::string_view text)
{
    return ConvertHexText({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

inline void WriteFile(const std::filesystem::path& path, std::string_view text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

// The whole file in one read: images run to megabytes, and a byte at a time
// takes seconds in the unoptimised, instrumented test builds.
inline Bytes ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    Bytes bytes(error ? 0 : static_cast<std::size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
        bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

}  // namespace vorelle::test
