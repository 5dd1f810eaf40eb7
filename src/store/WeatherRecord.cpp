#include "store/WeatherRecord.h"

namespace vorelle {

bool SameColumnName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

std::optional<std::size_t> RecordColumnIndex(std::string_view name)
{
    for (std::size_t i = 0; i < kRecordColumns.size(); ++i) {
        if (SameColumnName(kRecordColumns[i], name))
            return i;
    }
    return std::nullopt;
}

}  // namespace vorelle
