#pragma once

#include "live/LiveValues.h"

#include <array>
#include <cstdint>
#include <mutex>
#include <vector>

namespace vorelle {

// The console's highest and lowest readings since each record was last
// cleared, in console units. They start from a plausible past and widen with
// every reading the console takes; a cleared record starts again from the
// next reading.
class SimMaxMinRecords {
public:
    SimMaxMinRecords();

    void Update(const LiveValues& reading);
    // Clears the records whose bits `mask` sets (the clear command's mask;
    // of a quantity's two bits the lower clears the maximum, the upper the
    // minimum).
    void Clear(std::uint32_t mask);
    // The block as the console sends it: the twelve items the max/min dialog
    // shows, 47 bytes, within one reply.
    std::vector<std::uint8_t> Encode() const;

private:
    struct Record {
        std::uint8_t id;
        bool hasMin;
        std::uint32_t maxBits;
        std::uint32_t minBits;
        std::int32_t max;
        std::int32_t min;
    };
    static constexpr std::size_t kRecordCount = 12;

    mutable std::mutex mutex_;  // protects records_
    std::array<Record, kRecordCount> records_;
};

}  // namespace vorelle
