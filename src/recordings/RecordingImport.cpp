#include "recordings/RecordingImport.h"

#include "recordings/RecordingLine.h"
#include "recordings/RecordingUnits.h"
#include "store/RecordDatabase.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace vorelle {

namespace {

constexpr std::string_view kOpenErrorText = "Open Error2";
constexpr std::string_view kTooLargeText = "The recording is larger than 1 GiB and cannot be imported.";
// Progress is passed on every so many lines.
constexpr std::uint64_t kProgressLines = 8192;

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
    const bool read = ReadRecordingLines(content, dateOrder, summary, [&](const RecordingLine& line) {
        if (line.fate == LineFate::Reading) {
            rows.push_back({AutomationDate(line.time), static_cast<std::uint32_t>(line.row), line.bytes});
            return;
        }
        ++settled.linesDone;
        settled.bytesDone += line.bytes;
    }, stop);
    if (!read)
        return false;
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
    switch (ReadRecordingFile(what.recording, text)) {
    case RecordingFileRead::Read: break;
    case RecordingFileRead::Unreadable:
        messages.Inform(std::string(kOpenErrorText));
        result.status = ImportStatus::RecordingUnreadable;
        return result;
    case RecordingFileRead::TooLarge:
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
