#include "recordings/RecordingImport.h"

#include "recordings/RecordingLine.h"
#include "recordings/RecordingUnits.h"
#include "recordings/StdioFile.h"
#include "store/RecordDatabase.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

namespace vorelle {

namespace {

constexpr std::string_view kOpenErrorText = "Open Error2";
constexpr std::string_view kTooLargeText = "The recording is larger than 1 GiB and cannot be imported.";
// Progress is passed on every so many lines.
constexpr std::uint64_t kProgressLines = 8192;

enum class ReadOutcome { Read, Unreadable, TooLarge };

// The whole file, read until its end even when it grows or shrinks meanwhile.
ReadOutcome ReadWholeFile(const std::filesystem::path& path, std::string& text)
{
    const StdioFile file(std::fopen(path.string().c_str(), "rb"));
    std::error_code error;
    if (!file || std::filesystem::is_directory(path, error))
        return ReadOutcome::Unreadable;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!error && size > kMaxRecordingBytes)
        return ReadOutcome::TooLarge;
    text.resize(error ? 0 : static_cast<std::size_t>(size));
    std::size_t got = std::fread(text.data(), 1, text.size(), file.get());
    text.resize(got);
    char more[65536];
    while (const std::size_t extra = std::fread(more, 1, sizeof more, file.get())) {
        if (text.size() + extra > kMaxRecordingBytes)
            return ReadOutcome::TooLarge;
        text.append(more, extra);
    }
    return std::ferror(file.get()) ? ReadOutcome::Unreadable : ReadOutcome::Read;
}

// A reading line whose time could be read: its row of the content, its time
// and its length in the text with its line end.
struct TimedRow {
    double time;
    std::uint32_t row;
    std::uint32_t bytes;
};

// The first pass: every line into the content, the lines whose time can be
// read into `rows`, in time order. Blank, refused and held-back lines are
// settled here: `settled` counts them, with the header's bytes. Returns false
// when asked to stop.
bool ReadLines(RecordingContent& content, DateOrder dateOrder, std::vector<TimedRow>& rows, ImportProgress& settled,
               ImportSummary& summary, const std::stop_token& stop)
{
    const std::string_view text = content.Text();
    for (std::size_t at = content.BodyStart(); at < text.size(); at = LineAt(text, at).next)
        ++settled.linesTotal;
    content.Reserve(settled.linesTotal);
    rows.reserve(settled.linesTotal);
    settled.bytesDone = content.BodyStart();
    settled.bytesTotal = text.size();
    for (std::size_t at = content.BodyStart(); at < text.size();) {
        if (stop.stop_requested())
            return false;
        const TextLine line = LineAt(text, at);
        at = line.next;
        const auto bytes = static_cast<std::uint32_t>(line.next - line.begin);
        // Only the last line can lack its line end.
        const bool ended = text[line.next - 1] == '\n';
        if (line.end > line.begin && !ended) {
            ++summary.linesHeldBack;
        } else if (line.end > line.begin) {
            content.AppendRow(line.begin, line.end);
            ++summary.linesRead;
            const std::size_t row = content.RowCount() - 1;
            if (const std::optional<CivilTime> time = ParseRecordTime(content.Cell(row, 0), dateOrder)) {
                rows.push_back({AutomationDate(*time), static_cast<std::uint32_t>(row), bytes});
                continue;
            }
            ++summary.linesRefused;
        }
        ++settled.linesDone;
        settled.bytesDone += bytes;
    }
    // A recording is written in time order but for the hour that a clock
    // change repeats (or a clock set back); those rows are put in place.
    const auto earlier = [](const TimedRow& a, const TimedRow& b) { return a.time < b.time; };
    if (!std::is_sorted(rows.begin(), rows.end(), earlier))
        std::stable_sort(rows.begin(), rows.end(), earlier);
    return true;
}

// Gives up an import after a store failure, which it reports.
ImportResult GiveUpAfterStoreFailure(RecordDatabase& store, Messages& messages, const StoreStatus& failure)
{
    store.AbandonImport();
    messages.Inform(failure.Error());
    ImportResult result;
    result.status = ImportStatus::StoreFailed;
    return result;
}

}  // namespace

ImportResult ImportRecordingText(std::string text, std::string_view recordingName, DateOrder dateOrder,
                                 RecordDatabase& store, Messages& messages, const ImportProgressCallback& progress,
                                 std::stop_token stop)
{
    ImportResult result;
    if (text.size() > kMaxRecordingBytes) {
        messages.Inform(std::string(kTooLargeText));
        result.status = ImportStatus::RecordingUnreadable;
        return result;
    }
    RecordingContent content(std::move(text));
    std::vector<TimedRow> rows;
    ImportProgress done;
    ImportSummary summary;
    if (!ReadLines(content, dateOrder, rows, done, summary, stop))
        return result;
    if (progress)
        progress(done);

    // The second pass: the readings into the store, in time order.
    if (StoreStatus begun = store.BeginImport(); !begun)
        return GiveUpAfterStoreFailure(store, messages, begun);
    const RecordingLayout layout = LayoutForRecording(recordingName);
    std::array<std::string_view, kMaxRecordingColumns> fields;
    const std::span<const std::string_view> lineFields(fields.data(), content.ColumnCount());
    for (const TimedRow& row : rows) {
        if (stop.stop_requested()) {
            store.AbandonImport();
            return result;
        }
        content.Cells(row.row, fields);
        WeatherRecord record = RecordFromFields(layout, lineFields);
        record.time = row.time;
        if (StoreStatus appended = store.AppendRecord(record); !appended)
            return GiveUpAfterStoreFailure(store, messages, appended);
        ++summary.rowsStored;
        ++done.linesDone;
        done.bytesDone += row.bytes;
        if (progress && done.linesDone % kProgressLines == 0)
            progress(done);
    }
    // Writing the time index at the commit takes memory of its own; the
    // rows' order is no longer needed by then.
    std::vector<TimedRow>().swap(rows);
    UnitLabels labels = UnitLabelsOf(content);
    if (StoreStatus noted = NoteStoredRecording(store, {std::string(recordingName), labels}); !noted)
        return GiveUpAfterStoreFailure(store, messages, noted);
    if (StoreStatus committed = store.CommitImport(); !committed)
        return GiveUpAfterStoreFailure(store, messages, committed);
    if (progress)
        progress(done);
    result.status = ImportStatus::Imported;
    result.summary = summary;
    result.labels = std::move(labels);
    result.content = std::move(content);
    return result;
}

ImportResult ImportRecording(const RecordingImport& what, Messages& messages, const ImportProgressCallback& progress,
                             std::stop_token stop)
{
    ImportResult result;
    std::string text;
    switch (ReadWholeFile(what.recording, text)) {
    case ReadOutcome::Read: break;
    case ReadOutcome::Unreadable:
        messages.Inform(std::string(kOpenErrorText));
        result.status = ImportStatus::RecordingUnreadable;
        return result;
    case ReadOutcome::TooLarge:
        messages.Inform(std::string(kTooLargeText));
        result.status = ImportStatus::RecordingUnreadable;
        return result;
    }
    StoreResult<RecordDatabase> store = RecordDatabase::Open(what.store, StoreAccess::Write);
    if (!store) {
        messages.Inform(store.Error());
        result.status = ImportStatus::StoreFailed;
        return result;
    }
    return ImportRecordingText(std::move(text), what.recordingName, what.dateOrder, store.Value(), messages, progress,
                               stop);
}

}  // namespace vorelle
