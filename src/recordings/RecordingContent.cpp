#include "recordings/RecordingContent.h"

#include "recordings/RecordingLine.h"

#include <algorithm>
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
    header_.resize(columns_ + 1);
    header_[0] = static_cast<std::uint32_t>(header.begin);
    SplitFields(titles, std::span(header_).subspan(1));
    bodyStart_ = header.next;
}

void RecordingContent::Reserve(std::size_t rows)
{
    positions_.reserve(rows * (columns_ + 1));
}

void RecordingContent::AppendRow(std::size_t begin, std::size_t end)
{
    const std::size_t at = positions_.size();
    positions_.resize(at + columns_ + 1);
    positions_[at] = static_cast<std::uint32_t>(begin);
    SplitFields(std::string_view(text_).substr(begin, end - begin), std::span(positions_).subspan(at + 1, columns_));
}

std::string_view RecordingContent::Field(const std::uint32_t* positions, std::size_t column) const
{
    const std::span<const std::uint32_t> ends(positions + 1, columns_);
    const std::string_view line = std::string_view(text_).substr(positions[0], ends.back());
    return FieldOf(line, ends, column);
}

std::string_view RecordingContent::Title(std::size_t column) const
{
    return columns_ ? Field(header_.data(), column) : std::string_view();
}

void RecordingContent::Cells(std::size_t row, std::span<std::string_view> fields) const
{
    const std::uint32_t* positions = positions_.data() + row * (columns_ + 1);
    const std::span<const std::uint32_t> ends(positions + 1, columns_);
    const std::string_view line = std::string_view(text_).substr(positions[0], ends.back());
    for (std::size_t column = 0; column < columns_ && column < fields.size(); ++column)
        fields[column] = FieldOf(line, ends, column);
}

std::string_view RecordingContent::Cell(std::size_t row, std::size_t column) const
{
    if (row >= RowCount())
        return {};
    return Field(positions_.data() + row * (columns_ + 1), column);
}

}  // namespace vorelle
