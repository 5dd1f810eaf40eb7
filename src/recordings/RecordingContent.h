#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vorelle {

// A recording as the content list shows it: the column titles of its header
// and every reading line split into cells. The text is kept once, as the file
// holds it, with the offsets of each cell, so a year of one-minute readings
// takes little more memory than its file and any cell is found at once.
//
// Cells are the file's bytes: Latin-1, or UTF-8 when the file starts with a
// UTF-8 byte-order mark (see Utf8()). The mark and each line's carriage
// return are not part of any cell.
//
// Built by the import; afterwards it does not change, so any number of
// threads may read one object at the same time.
class RecordingContent {
public:
    RecordingContent() = default;
    // Takes the recording's whole text and reads its header line: the
    // columns are its comma-separated titles (an empty text gives one
    // untitled column), at most kMaxRecordingColumns.
    explicit RecordingContent(std::string text);

    std::size_t ColumnCount() const { return columns_; }
    std::size_t RowCount() const { return columns_ ? positions_.size() / (columns_ + 1) : 0; }
    bool Utf8() const { return utf8_; }

    // Empty for a column beyond the header's or a row beyond the last.
    std::string_view Title(std::size_t column) const;
    std::string_view Cell(std::size_t row, std::size_t column) const;
    // Every cell of `row` at once, into fields[0] to fields[ColumnCount() - 1].
    void Cells(std::size_t row, std::span<std::string_view> fields) const;

    // Where the first reading line begins.
    std::size_t BodyStart() const { return bodyStart_; }
    const std::string& Text() const { return text_; }

    // Room for `rows` rows, so that a large recording is not copied as the
    // rows grow.
    void Reserve(std::size_t rows);
    // Adds the line [begin, end) of the text as the next row.
    void AppendRow(std::size_t begin, std::size_t end);

private:
    std::string_view Field(const std::uint32_t* positions, std::size_t column) const;

    std::string text_;
    bool utf8_ = false;
    std::size_t columns_ = 0;
    std::size_t bodyStart_ = 0;
    // The header, then each row: the line's start, then the end of each of
    // its columns' fields.
    std::vector<std::uint32_t> header_;
    std::vector<std::uint32_t> positions_;
};

}  // namespace vorelle
