#include "recordings/RecordingEntry.h"

#include <algorithm>

namespace vorelle {

namespace {

constexpr std::uint64_t kKibibyte = 1024;
constexpr std::uint64_t kMebibyte = 1024 * 1024;

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Negative, zero or positive as `a` sorts before, with or after `b`, case
// ignored.
int CompareIgnoringCase(std::string_view a, std::string_view b)
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto x = static_cast<unsigned char>(Lower(a[i]));
        const auto y = static_cast<unsigned char>(Lower(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// `size` / `unit` with two decimals, rounded as printf rounds the exact
// quotient (half to even), without going through floating point.
std::string Hundredths(std::uint64_t size, std::uint64_t unit)
{
    std::uint64_t hundredths = size * 100 / unit;
    const std::uint64_t twiceRest = 2 * (size * 100 % unit);
    if (twiceRest > unit || (twiceRest == unit && hundredths % 2 == 1))
        ++hundredths;
    const std::uint64_t fraction = hundredths % 100;
    return std::to_string(hundredths / 100) + (fraction < 10 ? ".0" : ".") + std::to_string(fraction);
}

}  // namespace

std::string NameText(std::string_view rawName)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(rawName.size());
    for (const char c : rawName) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || (byte >= 0x80 && byte < 0xA0) || c == '\\') {
            text += "\\x";
            text += kHex[byte >> 4];
            text += kHex[byte & 0xF];
        } else if (byte < 0x80) {
            text += c;
        } else {
            // Latin-1 is the first 256 code points of Unicode.
            text += static_cast<char>(0xC0 | (byte >> 6));
            text += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return text;
}

std::string SizeText(std::uint32_t size)
{
    if (size <= kMebibyte)
        return Hundredths(size, kKibibyte) + " KB";
    return Hundredths(size, kMebibyte) + " MB";
}

void SortNewestFirst(std::vector<RecordingEntry>& entries)
{
    std::stable_sort(entries.begin(), entries.end(), [](const RecordingEntry& a, const RecordingEntry& b) {
        const int order = CompareIgnoringCase(a.name, b.name);
        return order != 0 ? order > 0 : a.name > b.name;
    });
}

const RecordingEntry* FindByNameText(const std::vector<RecordingEntry>& entries, std::string_view text)
{
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [&](const RecordingEntry& entry) { return NameText(entry.name) == text; });
    return found == entries.end() ? nullptr : &*found;
}

}  // namespace vorelle
