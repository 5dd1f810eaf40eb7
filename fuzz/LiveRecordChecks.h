#pragma once

// Checks of the live-record decoder and of what the board makes of its
// readings, shared by the targets that reach them.

#include "FormattedTextChecks.h"
#include "FuzzCheck.h"
#include "board/BoardTexts.h"
#include "live/LiveDecoder.h"
#include "live/LiveItems.h"
#include "sim/LiveRecordEncoder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vorelle::fuzz {

namespace live {

// Fills every reading with a value the checks can recognise as untouched.
constexpr std::int32_t kUntouched = 0x5EED5EED;

inline void FillUntouched(LiveValues& values)
{
    for (int code = 0; code < 256; ++code) {
        if (std::int32_t* field = FieldOfItem(values, static_cast<std::uint8_t>(code)))
            *field = kUntouched;
    }
}

// What the record's items promise for a decoded value of their kind.
inline bool InRangeOfKind(ItemKind kind, std::int32_t value)
{
    switch (kind) {
    case ItemKind::Temperature:
        return value >= -32768 && value <= 32767;
    case ItemKind::Signed16:
        return (value >= -32768 && value <= 32767) || value == 0xFFFF;
    case ItemKind::Unsigned16:
        return value >= 0 && value <= 0xFFFF;
    case ItemKind::Rain16:
        return value >= -1 && value <= 0xFFFE;
    case ItemKind::Byte:
        return (value >= 0 && value <= 0xFE) || value == 0xFFFF;
    case ItemKind::Rain32:
    case ItemKind::Light:
    case ItemKind::DateTime:
        return true;
    }
    return false;
}

}  // namespace live

struct DecodedLive {
    LiveValues values;
    bool channelsPresent = false;
};

// Decodes `record`, which must be a buffer of exactly its own size so that a
// read past it is reported, and checks the decoder's promises: items are read
// until the record ends, an unknown code appears or an item would run past
// the end; each item fills its reading with a value its kind can hold; a
// reading the record does not carry keeps what it held; and nothing is lost:
// the simulated console's encoder writes the decoded readings back as exactly
// the bytes that carried them.
inline DecodedLive CheckDecodeLive(std::span<const std::uint8_t> record, const UnitCodes& units)
{
    DecodedLive decoded;
    ResetLiveValues(decoded.values);
    decoded.values.units = units;
    LiveValues reset = decoded.values;
    decoded.channelsPresent = DecodeLive(record, decoded.values);

    LiveValues overUntouched = reset;
    live::FillUntouched(overUntouched);
    LiveValues untouched = overUntouched;
    Check(DecodeLive(record, overUntouched) == decoded.channelsPresent, "channels present whatever the readings held");
    Check(decoded.values.units == units && overUntouched.units == units, "decoding keeps the unit codes");

    // A plain walk over the items the decoder is to read, and where each
    // code was last seen.
    std::array<std::optional<std::size_t>, 256> lastAt{};
    std::vector<std::uint8_t> order;
    bool channelItem = false;
    std::size_t at = 0;
    while (at < record.size()) {
        const std::optional<ItemKind> kind = KindOfItem(record[at]);
        if (!kind || ValueSize(*kind) > record.size() - at - 1)
            break;
        if (*kind != ItemKind::DateTime) {
            std::erase(order, record[at]);
            order.push_back(record[at]);
        }
        channelItem = channelItem || IsChannelItem(record[at]);
        lastAt[record[at]] = at;
        at += 1 + ValueSize(*kind);
    }
    Check(decoded.channelsPresent == channelItem, "channels are present exactly when a channel item is read");

    for (int code = 0; code < 256; ++code) {
        const auto c = static_cast<std::uint8_t>(code);
        const std::int32_t* field = FieldOfItem(decoded.values, c);
        if (!field)
            continue;
        const std::int32_t over = *FieldOfItem(overUntouched, c);
        if (lastAt[c]) {
            Check(*field == over, "a carried reading does not depend on what it held");
            Check(live::InRangeOfKind(*KindOfItem(c), *field), "a decoded reading fits its kind");
        } else {
            Check(*field == *FieldOfItem(reset, c) && over == *FieldOfItem(untouched, c),
                  "a reading the record does not carry keeps what it held");
        }
    }
    std::vector<std::uint8_t> carried;
    for (const std::uint8_t code : order) {
        const std::size_t from = *lastAt[code];
        const std::size_t size = 1 + ValueSize(*KindOfItem(code));
        carried.insert(carried.end(), record.begin() + static_cast<std::ptrdiff_t>(from),
                       record.begin() + static_cast<std::ptrdiff_t>(from + size));
    }
    Check(EncodeLiveRecord(decoded.values, order, {}) == carried, "decoded readings encode back to their bytes");
    return decoded;
}

// Every reading through every formatter in the readings' own units, and the
// board's texts: the board shows each quantity as its reading says, and
// the list of quantities agrees with the board text for text.
inline void CheckShownReadings(const DecodedLive& decoded)
{
    LiveValues values = decoded.values;
    std::vector<std::int32_t> readingValues;
    for (int code = 0; code < 256; ++code) {
        if (const std::int32_t* field = FieldOfItem(values, static_cast<std::uint8_t>(code)))
            readingValues.push_back(*field);
    }
    // Most readings of a short record share their missing markers.
    std::sort(readingValues.begin(), readingValues.end());
    readingValues.erase(std::unique(readingValues.begin(), readingValues.end()), readingValues.end());
    for (const std::int32_t value : readingValues)
        CheckEveryFormatter(value, values.units);

    constexpr std::size_t kQuantities = kBoardQuantityCount;
    constexpr std::size_t kChannels = kChannelCount;
    const LiveReadings::Snapshot snapshot{decoded.values, decoded.channelsPresent, 1};
    std::vector<std::string> shownValues;
    for (const BoardText& text : BoardTexts(snapshot)) {
        if (text.style == BoardTextStyle::Value)
            shownValues.push_back(text.text);
    }
    Check(shownValues.size() == kQuantities + 2 * kChannels, "the board shows every quantity");

    const std::vector<QuantityReading> readings = QuantityReadings(snapshot);
    const std::size_t channelReadings = decoded.channelsPresent ? 2 * kChannels : 0;
    Check(readings.size() == kQuantities + 1 + channelReadings, "one reading per quantity");
    for (std::size_t i = 0; i < kQuantities; ++i)
        Check(readings[i].text == shownValues[i], "a quantity reads as the board shows it");
    for (std::size_t i = 0; i < channelReadings; ++i)
        Check(readings[kQuantities + 1 + i].text == shownValues[kQuantities + i], "a channel reads as the board shows it");
    const QuantityReading& direction = readings[kQuantities];
    Check(direction.raw == decoded.values.WindDir, "the wind direction is the reading's");
    Check(direction.text == (direction.raw == 0xFFFF ? std::string(kMissingIntegerText) : WindDirectionText(direction.raw)),
          "the wind direction shows in degrees");
}

}  // namespace vorelle::fuzz
