#pragma once

// A fuzz input read front to back as the values a target needs. Past its end
// every read gives zeros, so that any input, however short, drives a whole run.

#include <cstddef>
#include <cstdint>
#include <span>

namespace vorelle::fuzz {

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : rest_(data, size) {}

    bool Empty() const { return rest_.empty(); }

    std::uint8_t Byte()
    {
        if (rest_.empty())
            return 0;
        const std::uint8_t byte = rest_.front();
        rest_ = rest_.subspan(1);
        return byte;
    }

    // Four bytes, most significant first.
    std::int32_t Int32()
    {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value = (value << 8) | Byte();
        return static_cast<std::int32_t>(value);
    }

    // Everything not read yet, in the input's own buffer: a reader that runs
    // past its end reads past the input, which AddressSanitizer reports.
    std::span<const std::uint8_t> Rest()
    {
        const std::span<const std::uint8_t> taken = rest_;
        rest_ = {};
        return taken;
    }

private:
    std::span<const std::uint8_t> rest_;
};

}  // namespace vorelle::fuzz
