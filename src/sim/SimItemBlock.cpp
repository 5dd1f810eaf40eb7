#include "sim/SimItemBlock.h"

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
    const std::size_t end = std::min<std::size_t>(command[1], command.size());
    std::size_t at = 2;
    while (at < end) {
        const auto item = items_.find(command[at]);
        if (item == items_.end() || item->second.size() > end - at - 1)
            break;
        std::copy_n(command.begin() + static_cast<std::ptrdiff_t>(at + 1), item->second.size(), item->second.begin());
        at += 1 + item->second.size();
    }
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
