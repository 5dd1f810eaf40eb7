#pragma once

#include "items/ItemTable.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace vorelle {

// Walks the items at the start of `block`, one after another:
// `payloadSize(code)` says how many bytes the block carries after that code
// (nothing for a code that ends the block), and `visit(code, payload)` gets
// them. The walk stops at the end of the block, at a code that ends it,
// before an item whose payload would run past the block, and at the offset
// `startsBefore`, from which no item starts. It reads nothing past `block`.
template <class PayloadSize, class Visit>
void ForEachItem(std::span<const std::uint8_t> block, PayloadSize&& payloadSize, Visit&& visit,
                 std::size_t startsBefore = std::numeric_limits<std::size_t>::max())
{
    for (std::size_t at = 0; at < block.size() && at < startsBefore;) {
        const std::uint8_t code = block[at];
        const std::optional<std::size_t> size = std::forward<PayloadSize>(payloadSize)(code);
        if (!size || *size > block.size() - at - 1)
            return;
        std::forward<Visit>(visit)(code, block.subspan(at + 1, *size));
        at += 1 + *size;
    }
}

// Value bytes as a number: two's complement when `isSigned`, else unsigned.
std::int32_t ReadNumber(std::span<const std::uint8_t> value, bool isSigned);

// Whether value bytes are the pattern by which `kind` carries no value.
bool IsMissingValue(ItemKind kind, std::span<const std::uint8_t> value);

// A value as the live record reads it: as its kind's sign says, and the
// missing pattern as the kind's missing reading.
std::int32_t ReadReading(ItemKind kind, std::span<const std::uint8_t> value);

// Whether `kind` carries `reading` as a value; it carries any other as its
// missing pattern.
bool CarriesReading(ItemKind kind, std::int32_t reading);

// Builds a block of items: each code, then what its block carries after it.
class ItemWriter {
public:
    void Code(std::uint8_t code) { bytes_.push_back(code); }
    // A byte that is no item's value (an on switch, a gain, a date's part).
    void Byte(std::uint8_t byte) { bytes_.push_back(byte); }
    // The low `size` bytes of `number`, most significant first.
    void Number(std::size_t size, std::uint32_t number);
    // `number` as a value of item `code`: the low bytes its value holds.
    void Value(std::uint8_t code, std::uint32_t number);
    // The value of item `code` that carries nothing.
    void Missing(std::uint8_t code);
    // A live reading as a value of item `code`; one the item's kind cannot
    // carry goes as its missing pattern.
    void Reading(std::uint8_t code, std::int32_t reading);

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    // Copies the block to the start of `out`, as far as `out` reaches.
    void CopyTo(std::span<std::uint8_t> out) const;

private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace vorelle
