#include "recordings/RecordingReadings.h"

#include "recordings/RecordingLine.h"
#include "recordings/RecordingUnits.h"
#include "recordings/StdioFile.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <span>

namespace vorelle {

bool ReadRecordingLines(RecordingContent& content, DateOrder order, LineCounts& counts,
                        const std::function<void(const RecordingLine&)>& take, const std::stop_token& stop)
{
    const std::string_view text = content.Text();
    for (std::size_t at = content.BodyStart(); at < text.size();) {
        if (stop.stop_requested())
            return false;
        const TextLine line = LineAt(text, at);
        at = line.next;
        RecordingLine taken;
        taken.bytes = static_cast<std::uint32_t>(line.next - line.begin);
        // Only the last line can lack its line end.
        if (line.end == line.begin) {
            taken.fate = LineFate::Blank;
        } else if (text[line.next - 1] != '\n') {
            taken.fate = LineFate::HeldBack;
            ++counts.linesHeldBack;
        } else {
            content.AppendRow(line.begin, line.end);
            ++counts.linesRead;
            taken.row = content.RowCount() - 1;
            if (const std::optional<CivilTime> time = ParseRecordTime(content.Cell(taken.row, 0), order)) {
                taken.fate = LineFate::Reading;
                taken.time = *time;
            } else {
                taken.fate = LineFate::Refused;
                ++counts.linesRefused;
            }
        }
        take(taken);
    }
    return true;
}

RecordingReadings ReadRecordingReadings(std::string text, std::string_view recordingName, DateOrder order)
{
    RecordingContent content(std::move(text));
    RecordingReadings read;
    read.labels = UnitLabelsOf(content);
    // A year's readings are many: room for one a line, made once.
    const std::string_view body = std::string_view(content.Text()).substr(content.BodyStart());
    read.readings.reserve(static_cast<std::size_t>(std::count(body.begin(), body.end(), '\n')));
    const RecordingLayout layout = LayoutForRecording(recordingName);
    std::array<std::string_view, kMaxRecordingColumns> fields;
    const std::span<const std::string_view> lineFields(fields.data(), content.ColumnCount());
    ReadRecordingLines(content, order, read.lines, [&](const RecordingLine& line) {
        if (line.fate != LineFate::Reading)
            return;
        content.Cells(line.row, fields);
        read.readings.push_back({line.time, RecordFromFields(layout, lineFields)});
    });
    return read;
}

RecordingFileRead ReadRecordingFile(const std::filesystem::path& path, std::string& text)
{
    const StdioFile file(std::fopen(path.string().c_str(), "rb"));
    std::error_code error;
    if (!file || std::filesystem::is_directory(path, error))
        return RecordingFileRead::Unreadable;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!error && size > kMaxRecordingBytes)
        return RecordingFileRead::TooLarge;
    text.resize(error ? 0 : static_cast<std::size_t>(size));
    std::size_t got = std::fread(text.data(), 1, text.size(), file.get());
    text.resize(got);
    char more[65536];
    while (const std::size_t extra = std::fread(more, 1, sizeof more, file.get())) {
        if (text.size() + extra > kMaxRecordingBytes)
            return RecordingFileRead::TooLarge;
        text.append(more, extra);
    }
    return std::ferror(file.get()) ? RecordingFileRead::Unreadable : RecordingFileRead::Read;
}

}  // namespace vorelle
