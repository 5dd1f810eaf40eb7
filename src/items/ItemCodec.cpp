#include "items/ItemCodec.h"

#include "link/BigEndian.h"

#include <algorithm>

namespace vorelle {

namespace {

// The low `size` bytes of a number, as a value of that size carries it.
std::uint32_t LowBytes(std::int64_t number, std::size_t size)
{
    const std::uint64_t mask = size >= 4 ? 0xFFFFFFFFu : (std::uint64_t{1} << (8 * size)) - 1;
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(number) & mask);
}

}  // namespace

std::int32_t ReadNumber(std::span<const std::uint8_t> value, bool isSigned)
{
    const std::uint32_t raw = ReadBigEndian(value);
    if (!isSigned || value.empty() || value.size() >= 4)
        return static_cast<std::int32_t>(raw);
    const std::uint32_t signBit = 1u << (8 * value.size() - 1);
    return static_cast<std::int32_t>(raw ^ signBit) - static_cast<std::int32_t>(signBit);
}

bool IsMissingValue(ItemKind kind, std::span<const std::uint8_t> value)
{
    const ValueCoding coding = CodingOf(kind);
    return coding.missingPattern && value.size() == coding.size && ReadBigEndian(value) == *coding.missingPattern;
}

std::int32_t ReadReading(ItemKind kind, std::span<const std::uint8_t> value)
{
    const ValueCoding coding = CodingOf(kind);
    if (!coding.missingPattern)
        return 0;  // the console's clock: not a reading
    if (IsMissingValue(kind, value))
        return coding.missingReading;
    return ReadNumber(value, coding.isSigned);
}

bool CarriesReading(ItemKind kind, std::int32_t reading)
{
    const ValueCoding coding = CodingOf(kind);
    return coding.missingPattern && reading != coding.missingReading && reading >= coding.lowest &&
           reading <= coding.highest && LowBytes(reading, coding.size) != *coding.missingPattern;
}

void ItemWriter::Number(std::size_t size, std::uint32_t number)
{
    bytes_.resize(bytes_.size() + size);
    PutBigEndian(std::span(bytes_).last(size), number);
}

// A code that ends a block has no value to write.
void ItemWriter::Value(std::uint8_t code, std::uint32_t number)
{
    if (const std::optional<ItemKind> kind = KindOfItem(code))
        Number(ValueSize(*kind), number);
}

void ItemWriter::Missing(std::uint8_t code)
{
    if (const std::optional<ItemKind> kind = KindOfItem(code))
        Number(ValueSize(*kind), CodingOf(*kind).missingPattern.value_or(0));
}

void ItemWriter::Reading(std::uint8_t code, std::int32_t reading)
{
    const std::optional<ItemKind> kind = KindOfItem(code);
    if (kind && CarriesReading(*kind, reading))
        Value(code, static_cast<std::uint32_t>(reading));
    else
        Missing(code);
}

void ItemWriter::CopyTo(std::span<std::uint8_t> out) const
{
    std::copy_n(bytes_.begin(), std::min(bytes_.size(), out.size()), out.begin());
}

}  // namespace vorelle
