#include "recordings/RecordingContent.h"

#include "recordings/RecordingLine.h"

#include <algorithm>
#include <array>
#include <span>

namespace vorelle {

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

RecordingContent::RecordingContent(std::string text) : text_(std::move(text))
{
    utf8_ = std::string_view(text_).starts_with(kUtf8ByteOrderMark);
    const std::size_t start = utf8_ ? kUtf8ByteOrderMark.size() : 0;
    const TextLine header = start < text_.size() ? LineAt(text_, start) : TextLine{start, start, start};
    const std::string_view titles = std::string_view(text_).substr(header.begin, header.end - header.begin);
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

std::string_view RecordingContent::Cell(std::size_t row, std::size_t column) const
{
    return row < rows_.size() ? Field(rows_[row], column) : std::string_view();
}

}  // namespace vorelle
