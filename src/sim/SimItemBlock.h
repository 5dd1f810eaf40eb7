#pragma once

#include "link/HidTransport.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

namespace vorelle {

// A settings block the console keeps as tagged items (an id, then its
// values): what its read command reports and its write command changes.
class SimItemBlock {
public:
    // Each item's bytes after its id, and the order the items go out in.
    using Items = std::map<std::uint8_t, std::vector<std::uint8_t>>;
    SimItemBlock(Items items, std::vector<std::uint8_t> order);

    // The items in the console's order, id then values; the reply carries as
    // much as one report holds, so an item past its end is cut off.
    std::vector<std::uint8_t> Encode() const;
    // Takes in the items of a write command up to its length byte, stopping
    // at an unknown id or an item cut short; items it does not carry stay as
    // they are.
    void Apply(const Report& command);

    // The order in which the items go out; ids the console does not know are
    // skipped. Tests put items in or leave them out.
    void SetItemOrder(std::vector<std::uint8_t> ids);
    // One item's bytes after its id; empty for an unknown id.
    std::vector<std::uint8_t> Item(std::uint8_t id) const;

private:
    mutable std::mutex mutex_;  // protects everything below
    Items items_;
    std::vector<std::uint8_t> order_;
};

}  // namespace vorelle
