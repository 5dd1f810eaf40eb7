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
// holds it, with where each line begins and ends; a line is split into its
// cells when they are asked for (a line is short, so that is quick), and a
// year of one-minute readings takes little more memory than its file.
//
// Cells are the file's bytes; Shown() reads them as text. The console writes
// Windows-1252, the Western European code page (0x80 is the euro sign); a
// file that starts with a UTF-8 byte-order mark, or whose header is UTF-8
// and not plain ASCII, is read as UTF-8. The mark and each line's carriage
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
    std::size_t RowCount() const { return rows_.size(); }

    // Empty for a column beyond the header's or a row beyond the last.
    std::string_view Title(std::size_t column) const;
    std::string_view Cell(std::size_t row, std::size_t column) const;
    // Every cell of `row` at once, into fields[0] to fields[ColumnCount() - 1].
    void Cells(std::size_t row, std::span<std::string_view> fields) const;
    // A title's or a cell's bytes as text to show, in UTF-8.
    std::string Shown(std::string_view bytes) const;

    // Where the first reading line begins.
    std::size_t BodyStart() const { return bodyStart_; }
    const std::string& Text() const { return text_; }

    // Room for `rows` rows, so that a large recording is not copied as the
    // rows grow.
    void Reserve(std::size_t rows);
    // Adds the line [begin, end) of the text as the next row.
    void AppendRow(std::size_t begin, std::size_t end);

private:
    // Where a line is in the text, without its line end. A recording is at
    // most kMaxRecordingBytes, so 32 bits hold any offset.
    struct LineSpan {
        std::uint32_t begin = 0;
        std::uint32_t end = 0;
    };

    std::string_view Field(LineSpan line, std::size_t column) const;

    std::string text_;
    bool utf8_ = false;  // else Windows-1252
    std::size_t columns_ = 0;
    std::size_t bodyStart_ = 0;
    LineSpan header_;
    std::vector<LineSpan> rows_;
};

}  // namespace vorelle
