#include "recordings/RecordingContent.h"

#include "link/ConsoleText.h"
#include "recordings/RecordingLine.h"

#include <algorithm>
#include <array>
#include <span>

namespace vorelle {

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// The characters of Windows-1252's bytes 0x80 to 0x9F; the five bytes it
// leaves undefined read as the control characters of the same number, as
// Windows reads them. The other bytes are the characters of their number.
constexpr char32_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool IsAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

RecordingContent::RecordingContent(std::string text) : text_(std::move(text))
{
    const bool marked = std::string_view(text_).starts_with(kUtf8ByteOrderMark);
    const std::size_t start = marked ? kUtf8ByteOrderMark.size() : 0;
    const TextLine header = start < text_.size() ? LineAt(text_, start) : TextLine{start, start, start};
    const std::string_view titles = std::string_view(text_).substr(header.begin, header.end - header.begin);
    utf8_ = marked || (!IsAscii(titles) && IsUtf8(titles));
    columns_ = std::min<std::size_t>(std::count(titles.begin(), titles.end(), ',') + 1, kMaxRecordingColumns);
    header_ = {static_cast<std::uint32_t>(header.begin), static_cast<std::uint32_t>(header.end)};
    bodyStart_ = header.next;
}

void RecordingContent::Reserve(std::size_t rows)
{
    rows_.reserve(rows);
}

void RecordingContent::AppendRow(std::size_t begin, std::size_t end)
{
    rows_.push_back({static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(end)});
}

std::string_view RecordingContent::Field(LineSpan line, std::size_t column) const
{
    if (column >= columns_)
        return {};
    // Only the fields up to `column` need splitting.
    std::array<std::uint32_t, kMaxRecordingColumns> ends;
    const std::span<std::uint32_t> upTo(ends.data(), column + 1);
    const std::string_view text = std::string_view(text_).substr(line.begin, line.end - line.begin);
    SplitFields(text, upTo);
    return FieldOf(text, upTo, column);
}

std::string_view RecordingContent::Title(std::size_t column) const
{
    return Field(header_, column);
}

void RecordingContent::Cells(std::size_t row, std::span<std::string_view> fields) const
{
    std::array<std::uint32_t, kMaxRecordingColumns> ends;
    const std::span<std::uint32_t> all(ends.data(), columns_);
    const std::string_view line = std::string_view(text_).substr(rows_[row].begin, rows_[row].end - rows_[row].begin);
    SplitFields(line, all);
    for (std::size_t column = 0; column < columns_ && column < fields.size(); ++column)
        fields[column] = FieldOf(line, all, column);
}

std::string RecordingContent::Shown(std::string_view bytes) const
{
    if (utf8_)
        return std::string(bytes);
    std::string shown;
    shown.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        AppendUtf8(shown, byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : char32_t{byte});
    }
    return shown;
}

std::string_view RecordingContent::Cell(std::size_t row, std::size_t column) const
{
    return row < rows_.size() ? Field(rows_[row], column) : std::string_view();
}

}  // namespace vorelle
