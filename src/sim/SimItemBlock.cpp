#include "sim/SimItemBlock.h"

#include "items/ItemCodec.h"
#include "link/ReplyArea.h"

#include <algorithm>

namespace vorelle {

SimItemBlock::SimItemBlock(Items items, std::vector<std::uint8_t> order)
    : items_(std::move(items)), order_(std::move(order))
{
}

std::vector<std::uint8_t> SimItemBlock::Encode() const
{
    std::lock_guard lock(mutex_);
    std::vector<std::uint8_t> block;
    for (std::uint8_t id : order_) {
        const auto item = items_.find(id);
        if (item == items_.end())
            continue;
        block.push_back(id);
        block.insert(block.end(), item->second.begin(), item->second.end());
    }
    return block;
}

void SimItemBlock::Apply(const Report& command)
{
    std::lock_guard lock(mutex_);
    const auto payloadSize = [this](std::uint8_t id) {
        const auto item = items_.find(id);
        return item == items_.end() ? std::nullopt : std::optional(item->second.size());
    };
    ForEachItem(ReplyPayload(command), payloadSize, [this](std::uint8_t id, std::span<const std::uint8_t> values) {
        std::copy(values.begin(), values.end(), items_[id].begin());
    });
}

void SimItemBlock::SetItemOrder(std::vector<std::uint8_t> ids)
{
    std::lock_guard lock(mutex_);
    order_ = std::move(ids);
}

std::vector<std::uint8_t> SimItemBlock::Item(std::uint8_t id) const
{
    std::lock_guard lock(mutex_);
    const auto item = items_.find(id);
    return item == items_.end() ? std::vector<std::uint8_t>{} : item->second;
}

}  // namespace vorelle
